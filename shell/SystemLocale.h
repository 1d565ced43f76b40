#pragma once

#include <string>

#include "record/NumberText.h"

namespace qv {

// The system's locale: whether it is Chinese (China), which decides the language, its number
// format, how field texts read as numbers, and its date form, what the date fields get.
class SystemLocale {
public:
    virtual ~SystemLocale() = default;
    virtual bool isChineseChina() const = 0;
    virtual NumberFormat format() const = 0;
    // Today's date in the system's short date form.
    virtual std::string shortDate() const = 0;
};

}  // namespace qv
