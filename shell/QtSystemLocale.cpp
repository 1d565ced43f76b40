#include "shell/QtSystemLocale.h"

#include <QDate>
#include <QLocale>

#include "translations/Translations.h"

namespace qv {

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
