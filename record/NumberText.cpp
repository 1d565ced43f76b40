#include "NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

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

// The grammar is checked by hand: std::from_chars alone would also take "inf", "nan" and
// hexadecimal forms, and knows only "." as the separator.
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

bool isZero(std::string_view digits) {
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c == '0'; });
}

// Sign of the decimal exponent of the value's leading digit, for a value that std::from_chars
// found outside the double range: positive means too large, otherwise too small.
bool tooLarge(const Decimal& d) {
    const auto firstNonZero = d.whole.find_first_not_of('0');
    long long position = firstNonZero != std::string_view::npos
                             ? static_cast<long long>(d.whole.size() - firstNonZero)
                             : -static_cast<long long>(d.fraction.find_first_not_of('0'));
    long long exponent = 0;
    for (char c : d.exponent) {
        exponent = std::min(exponent * 10 + (c - '0'), 1'000'000'000LL);
    }
    position += d.negativeExponent ? -exponent : exponent;
    return position > 0;
}

std::int32_t saturate(double value) {
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    if (value <= lo) {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (value >= hi) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(value);
}

}  // namespace

std::optional<std::int32_t> readNumber(std::string_view text, const NumberFormat& format) {
    const std::optional<Decimal> d = parse(trimBlanks(text), format.decimalPoint);
    if (!d) {
        return std::nullopt;
    }
    if (isZero(d->whole) && isZero(d->fraction)) {
        return 0;
    }
    std::string c(d->whole);
    c += '.';
    c += d->fraction;
    if (!d->exponent.empty()) {
        c += d->negativeExponent ? "e-" : "e";
        c += d->exponent;
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(c.data(), c.data() + c.size(), value);
    if (ec == std::errc::result_out_of_range) {
        value = tooLarge(*d) ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (ec != std::errc() || end != c.data() + c.size()) {
        return std::nullopt;
    }
    // nearbyint rounds half to even in the default rounding mode.
    const double whole = std::nearbyint(value);
    return saturate(d->negative ? -whole : whole);
}

}  // namespace qv
