#pragma once

#include <string>

#include "record/NumberText.h"

namespace qv {

// The system's default locale: its Windows-style identifier decides the language, its
// number format how field texts read as numbers, its date form what the date fields get.
class SystemLocale {
public:
    virtual ~SystemLocale() = default;
    virtual int localeId() const = 0;
    virtual NumberFormat format() const = 0;
    // Today's date in the system's short date form.
    virtual std::string shortDate() const = 0;
};

inline constexpr int kChineseChinaLocaleId = 0x0804;

}  // namespace qv
