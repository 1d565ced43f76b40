#pragma once

#include <string>
#include <string_view>

namespace qv {

// Bytes from outside the tool (the radio's model and version) as text anyone can read and any
// file can hold: printable ASCII stays, a backslash doubles, every other byte is \xHH.
std::string escapeBytes(std::string_view bytes);

// UTF-8 text from outside (file and process names, system messages) made safe for a terminal:
// valid UTF-8 stays, control characters (C0, DEL, C1) and bytes that are not UTF-8 become \xHH
// (a C1 character as its two bytes), so nothing it holds can move the cursor or set a title.
std::string escapeControls(std::string_view text);

}  // namespace qv
