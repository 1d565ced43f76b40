#pragma once

#include <QLocale>

#include "shell/SystemLocale.h"

namespace qv {

// The locale identifier Windows would report for a Qt locale. Only the Chinese ones matter
// to the tool; every other locale gets an identifier that is not Chinese (China).
int LocaleIdOf(const QLocale& locale);

// The system locale as Qt sees it.
class QtSystemLocale : public SystemLocale {
public:
    int LocaleId() const override;
    NumberFormat Format() const override;
    std::string ShortDate() const override;
};

}  // namespace qv
