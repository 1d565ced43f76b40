#include "NumberText.h"

#include <algorithm>
#include <limits>
#include <string>

namespace qv {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::string_view takeDigits(std::string_view& s) {
    const auto n =
        static_cast<std::size_t>(std::find_if_not(s.begin(), s.end(), isDigit) - s.begin());
    const std::string_view digits = s.substr(0, n);
    s.remove_prefix(n);
    return digits;
}

bool takeSign(std::string_view& s) {
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        const bool negative = s.front() == '-';
        s.remove_prefix(1);
        return negative;
    }
    return false;
}

struct Decimal {
    bool negative = false;
    std::string_view whole;     // digits before the decimal separator
    std::string_view fraction;  // digits after it
    bool negativeExponent = false;
    std::string_view exponent;  // exponent digits, empty when there is none
};

// The grammar is checked by hand: the standard conversions would also take "inf", "nan" and
// hexadecimal forms, and know only "." as the separator.
std::optional<Decimal> parse(std::string_view s, std::string_view point) {
    Decimal d;
    d.negative = takeSign(s);
    d.whole = takeDigits(s);
    if (!point.empty() && s.starts_with(point)) {
        s.remove_prefix(point.size());
        d.fraction = takeDigits(s);
    }
    if (d.whole.empty() && d.fraction.empty()) {
        return std::nullopt;
    }
    if (!s.empty() && (s.front() == 'e' || s.front() == 'E')) {
        s.remove_prefix(1);
        d.negativeExponent = takeSign(s);
        d.exponent = takeDigits(s);
        if (d.exponent.empty()) {
            return std::nullopt;
        }
    }
    if (!s.empty()) {
        return std::nullopt;
    }
    return d;
}

// The value rounded to the nearest whole number, a half going to the even neighbour, from
// its digits alone: rounding through a double first would round twice ("2.50000000000000000001"
// would become 2.5 and then 2).
std::int32_t roundExactly(const Decimal& d) {
    std::string digits(d.whole);
    digits += d.fraction;
    long long exponent = 0;
    for (char c : d.exponent) {
        exponent = std::min(exponent * 10 + (c - '0'), 1'000'000'000LL);
    }
    // Digits [0, point) make the whole part; the first digit past it decides the rounding.
    const long long point =
        static_cast<long long>(d.whole.size()) + (d.negativeExponent ? -exponent : exponent);
    const auto digitAt = [&](long long i) {
        return i >= 0 && i < static_cast<long long>(digits.size())
                   ? digits[static_cast<std::size_t>(i)] - '0'
                   : 0;
    };
    const long long first = static_cast<long long>(digits.find_first_not_of('0'));
    if (first == static_cast<long long>(std::string::npos)) {
        return 0;
    }
    constexpr long long kLimit = std::numeric_limits<std::int32_t>::max();
    long long magnitude = 0;
    // More than ten significant whole digits are past the 32-bit range whatever they are.
    if (point - first > 10) {
        magnitude = kLimit + 1;
    } else {
        for (long long i = first; i < point; ++i) {
            magnitude = magnitude * 10 + digitAt(i);
        }
        const int next = digitAt(point);
        const bool moreAfterNext =
            digits.find_first_not_of('0', static_cast<std::size_t>(std::max(point + 1, 0LL))) !=
            std::string::npos;
        if (next > 5 || (next == 5 && (moreAfterNext || magnitude % 2 == 1))) {
            ++magnitude;
        }
    }
    if (d.negative) {
        return static_cast<std::int32_t>(std::max(-magnitude, -kLimit - 1));
    }
    return static_cast<std::int32_t>(std::min(magnitude, kLimit));
}

}  // namespace

std::optional<std::int32_t> readNumber(std::string_view text, const NumberFormat& format) {
    const std::optional<Decimal> d = parse(trimBlanks(text), format.decimalPoint);
    if (!d) {
        return std::nullopt;
    }
    return roundExactly(*d);
}

}  // namespace qv
