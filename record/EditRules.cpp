#include "EditRules.h"

#include "FieldCatalogue.h"

namespace qv {

namespace {

constexpr int kDelete = 127;

}  // namespace

EditGroup editGroupOf(int field) {
    const FieldInfo& f = fieldInfo(field);
    if (f.maxChars == 2) {
        return EditGroup::TwoDigit;
    }
    if (f.rangeMax == 6) {
        return EditGroup::CloseLevel;
    }
    return f.maxChars == 3 ? EditGroup::Byte : EditGroup::Word;
}

std::string applyChangeRule(EditGroup group, const std::string& text, const NumberFormat& format) {
    const std::optional<std::int32_t> n = readNumber(text, format);
    if (!n) {
        return group == EditGroup::CloseLevel ? text : "0";
    }
    if (*n < 0) {
        return "0";
    }
    switch (group) {
        case EditGroup::CloseLevel:
            return *n > 6 ? "6" : text;
        case EditGroup::Byte:
            return *n > 255 ? "255" : text;
        case EditGroup::Word:
            return *n > 65535 ? "65535" : text;
        case EditGroup::TwoDigit:
            return text;
    }
    return text;
}

KeyVerdict filterKey(int key) {
    if (key == kCtrlC || key == kCtrlV || key == kCtrlX) {
        return {};
    }
    if (key == kEnter) {
        return {.key = 0, .moveFocus = true};
    }
    if (key < 0 || key > kDelete) {
        return {};
    }
    if (key >= ' ' && key != kDelete && (key < '0' || key > '9')) {
        return {};
    }
    return {.key = key};
}

bool fillsDateOnFocus(int field) {
    return field == 2 || field == 3 || field == 9 || field == 10;
}

}  // namespace qv
