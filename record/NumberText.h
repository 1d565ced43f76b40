#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

// How the system writes numbers; only the decimal separator matters for reading.
struct NumberFormat {
    std::string decimalPoint = ".";
};

// Reads a field text as a number: optional spaces, an optional sign, decimal digits with an
// optional decimal separator and fraction, an optional exponent, optional spaces. Leading
// zeros are allowed. The value is the nearest whole number, a half going to the even
// neighbour, saturated to the 32-bit signed range. Anything else is not a number.
std::optional<std::int32_t> readNumber(std::string_view text, const NumberFormat& format = {});

}  // namespace qv
