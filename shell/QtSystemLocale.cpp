#include "shell/QtSystemLocale.h"

#include <QDate>

namespace qv {

namespace {

constexpr int kCustomDefaultLocaleId = 0x0C00;

int chineseLocaleId(QLocale::Territory territory) {
    switch (territory) {
        case QLocale::China:
            return kChineseChinaLocaleId;
        case QLocale::Taiwan:
            return 0x0404;
        case QLocale::HongKong:
            return 0x0C04;
        case QLocale::Singapore:
            return 0x1004;
        case QLocale::Macao:
            return 0x1404;
        default:
            return 0x0004;
    }
}

}  // namespace

int localeIdOf(const QLocale& locale) {
    return locale.language() == QLocale::Chinese ? chineseLocaleId(locale.territory())
                                                 : kCustomDefaultLocaleId;
}

int QtSystemLocale::localeId() const {
    return localeIdOf(QLocale::system());
}

NumberFormat QtSystemLocale::format() const {
    return {.decimalPoint = QLocale::system().decimalPoint().toStdString()};
}

std::string QtSystemLocale::shortDate() const {
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
}

}  // namespace qv
