#pragma once

#include <string>

#include "NumberText.h"

namespace qv {

// How the change rule treats a field, by its length limit and range.
enum class EditGroup {
    CloseLevel,  // fields 20 and 26: 0..6, a text that is not a number is left alone
    Byte,        // length limit 3: 0..255
    Word,        // length limit 5: 0..65535
    TwoDigit,    // length limit 2: 0 and up, no upper bound
};

EditGroup editGroupOf(int field);

// The change rule: the text the field holds after a change to `text`. A text within range
// comes back unchanged (leading zeros and fractions included), so applying the rule to its
// own result changes nothing.
std::string applyChangeRule(EditGroup group, const std::string& text,
                            const NumberFormat& format = {});

// The key filter on a typed character code: digits and control characters pass, copy, paste
// and cut by keyboard are dropped, Enter moves the focus on like Tab. A key of 0 is dropped.
inline constexpr int kCtrlC = 3;
inline constexpr int kCtrlV = 22;
inline constexpr int kCtrlX = 24;
inline constexpr int kEnter = 13;
struct KeyVerdict {
    int key = 0;
    bool moveFocus = false;
};
KeyVerdict filterKey(int key);

// Fields that take the current date when they receive the focus while empty.
bool fillsDateOnFocus(int field);

}  // namespace qv
