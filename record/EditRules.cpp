#include "EditRules.h"

#include <algorithm>

namespace qv {

namespace {

constexpr char32_t kDelete = 127;

// Characters, not bytes: a line edit counts what a person sees.
std::size_t characterCount(const std::string& text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

}  // namespace

std::string applyChangeRule(int field, const std::string& text, const NumberFormat& format) {
    const FieldInfo& f = fieldInfo(field);
    const std::optional<std::int32_t> n = readNumber(text, format);
    if (!n) {
        return f.rule == ValueRule::CloseLevel ? text : "0";
    }
    if (*n < 0) {
        return "0";
    }
    if (f.rule != ValueRule::ReadOnly && *n > f.rangeMax) {
        return std::to_string(f.rangeMax);
    }
    return text;
}

std::optional<std::string> fitLengthLimit(int field, const std::string& text,
                                          const NumberFormat& format) {
    const auto limit = static_cast<std::size_t>(fieldInfo(field).lengthLimit);
    if (characterCount(text) <= limit) {
        return text;
    }
    const std::optional<std::int32_t> n = readNumber(text, format);
    if (!n) {
        return std::nullopt;
    }
    std::string fitted = applyChangeRule(field, std::to_string(*n), format);
    if (fitted.size() > limit) {
        return std::nullopt;
    }
    return fitted;
}

bool typedCharacterPasses(char32_t character) {
    return character < ' ' || character == kDelete || (character >= '0' && character <= '9');
}

}  // namespace qv
