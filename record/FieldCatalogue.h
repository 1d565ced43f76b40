#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// Where a field belongs: one of the six pages of the window, or the read-only values that the
// radio keeps for itself, which the tool holds in the records and never shows for editing.
enum class Page { ReadOnly, SMeter, Freq, Other, Fm, Am, Ssb };

// The pages the window shows, in tab order.
inline constexpr std::array<Page, 6> kShownPages = {Page::SMeter, Page::Freq, Page::Other,
                                                    Page::Fm,     Page::Am,   Page::Ssb};

std::string_view pageCaption(Page page);

// One calibration field: its caption, its member of the field record and the limits the window
// and the editing rules apply to it.
struct FieldInfo {
    int index = 0;
    std::string_view caption;  // the caption that stands beside the field
    Page page = Page::ReadOnly;
    std::string_view frame;   // the group frame holding the field, empty outside a group
    std::string_view member;  // FieldRecord member; array members name the array
    int element = -1;         // element of an array member, -1 for a plain member
    std::size_t offset = 0;   // offset of the member (or element) in both records
    std::size_t size = 0;     // 1: unsigned 8-bit, 2: unsigned 16-bit
    int maxChars = 0;         // length limit of the text box: 2, 3 or 5
    int rangeMax = 0;         // top of the field's range (0..6 for the close levels)
    bool sent = false;        // a write takes the member from this field; false: read-only
    // Place of an editable field on screen, 1..50: page by page, each page's fields top to
    // bottom, left column first. 0 for a read-only field, which is never shown.
    int screenOrder = 0;

    std::uint16_t memberMax() const { return size == 1 ? 0xFF : 0xFFFF; }
    bool readOnly() const { return !sent; }
};

inline constexpr int kFieldCount = 78;

const std::array<FieldInfo, kFieldCount>& catalogue();
// The field with this index; an index outside 0..77 is a program error (std::out_of_range).
const FieldInfo& fieldInfo(int index);
// The fields of a page in on-screen order: top to bottom, left column first.
std::vector<int> fieldsOnPage(Page page);
// A field's caption, with its frame for grouped fields: "UL SQ 1".
std::string fieldName(int index);
// A field named for the user: its index, name and page.
std::string describeField(int index);

}  // namespace qv
