#include "shell/QtSystemLocale.h"

#include <QDate>

namespace qv {

namespace {

constexpr int kCustomDefaultLocaleId = 0x0C00;

int ChineseLocaleId(QLocale::Territory territory) {
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

int LocaleIdOf(const QLocale& locale) {
    return locale.language() == QLocale::Chinese ? ChineseLocaleId(locale.territory())
                                                 : kCustomDefaultLocaleId;
}

int QtSystemLocale::LocaleId() const {
    return LocaleIdOf(QLocale::system());
}

NumberFormat QtSystemLocale::Format() const {
    return {.decimalPoint = QLocale::system().decimalPoint().toStdString()};
}

std::string QtSystemLocale::ShortDate() const {
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
}

}  // namespace qv
