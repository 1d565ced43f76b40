#pragma once

#include <optional>
#include <string>

#include "FieldCatalogue.h"
#include "NumberText.h"

namespace qv {

// The change rule: the text the field holds after a change to `text`, by the field's value
// rule. A text within range comes back unchanged (leading zeros and fractions included), so
// applying the rule to its own result changes nothing.
std::string applyChangeRule(int field, const std::string& text, const NumberFormat& format = {});

// The text a field takes when `text` would come into it other than by typing (a paste, a drop,
// the tool itself): the text itself when it is within the field's length limit; else the whole
// number it reads as, through the change rule, when that fits; else nothing, and the field
// keeps what it held. So a pasted " 12.5 " or "000000012" gives "12", never a cut "000".
std::optional<std::string> fitLengthLimit(int field, const std::string& text,
                                          const NumberFormat& format = {});

// The key filter on a typed character: digits and control characters (Backspace, Delete) pass;
// every other character is dropped. Keyboard shortcuts are the window's business.
bool typedCharacterPasses(char32_t character);

}  // namespace qv
