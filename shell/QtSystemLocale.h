#pragma once

#include <QLocale>

#include "shell/SystemLocale.h"

namespace qv {

// The locale identifier Windows would report for a Qt locale. Only the Chinese ones matter
// to the tool; every other locale gets an identifier that is not Chinese (China).
int localeIdOf(const QLocale& locale);

// The system locale as Qt sees it.
class QtSystemLocale : public SystemLocale {
public:
    int localeId() const override;
    NumberFormat format() const override;
    std::string shortDate() const override;
};

}  // namespace qv
