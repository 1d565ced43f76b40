#pragma once

#include <QLocale>

#include "shell/SystemLocale.h"

namespace qv {

// Whether a locale is the language Chinese in the territory China.
bool isChineseChina(const QLocale& locale);

// The system locale as Qt sees it.
class QtSystemLocale : public SystemLocale {
public:
    bool isChineseChina() const override;
    NumberFormat format() const override;
    std::string shortDate() const override;
};

}  // namespace qv
