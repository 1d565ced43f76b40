#pragma once

#include "shell/SystemLocale.h"

namespace qv {

// The system locale as Qt sees it.
class QtSystemLocale : public SystemLocale {
public:
    bool isChineseChina() const override;
    NumberFormat format() const override;
    std::string shortDate() const override;
};

}  // namespace qv
