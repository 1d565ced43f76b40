#include <gtest/gtest.h>

#include <string>

#include "record/PlainText.h"

namespace qv {
namespace {

struct Case {
    std::string in;
    std::string bytes;     // escapeBytes
    std::string controls;  // escapeControls
};

TEST(PlainText, EscapesWhatCouldHarmAScreenOrAFile) {
    const Case cases[] = {
        {"QV-4120", "QV-4120", "QV-4120"},
        {"QV\xFF-4120", "QV\\xFF-4120", "QV\\xFF-4120"},
        {"a\\b", "a\\\\b", "a\\b"},
        {"\x1B]0;x\a", "\\x1B]0;x\\x07", "\\x1B]0;x\\x07"},
        {std::string("a\0b", 3), "a\\x00b", "a\\x00b"},
        {"\x7F", "\\x7F", "\\x7F"},
        // Valid UTF-8 stays on a terminal; C1 controls, overlong forms, surrogates and cut
        // sequences do not.
        {"\xE6\x96\x87", "\\xE6\\x96\\x87", "\xE6\x96\x87"},
        {"\xC2\x9B[2J", "\\xC2\\x9B[2J", "\\xC2\\x9B[2J"},
        {"\xC0\xAF", "\\xC0\\xAF", "\\xC0\\xAF"},
        {"\xED\xA0\x80", "\\xED\\xA0\\x80", "\\xED\\xA0\\x80"},
        {"\xE6\x96", "\\xE6\\x96", "\\xE6\\x96"},
        {"\xF0\x9F\x93\xBB", "\\xF0\\x9F\\x93\\xBB", "\xF0\x9F\x93\xBB"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(escapeBytes(c.in), c.bytes) << c.bytes;
        EXPECT_EQ(escapeControls(c.in), c.controls) << c.bytes;
    }
}

}  // namespace
}  // namespace qv
