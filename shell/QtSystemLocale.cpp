#include "shell/QtSystemLocale.h"

#include <QDate>

namespace qv {

bool isChineseChina(const QLocale& locale) {
    return locale.language() == QLocale::Chinese && locale.territory() == QLocale::China;
}

bool QtSystemLocale::isChineseChina() const {
    return qv::isChineseChina(QLocale::system());
}

NumberFormat QtSystemLocale::format() const {
    return {.decimalPoint = QLocale::system().decimalPoint().toStdString()};
}

std::string QtSystemLocale::shortDate() const {
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
}

}  // namespace qv
