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

// What the change rule keeps a field's value to.
enum class ValueRule {
    CloseLevel,  // 0..6, the level the radio shows less one; a text that is no number stays
    Byte,        // 0..255
    Word,        // 0..65535
    ReadOnly,    // the radio's own value, never sent: 0 and up, no top
};

// Where a shown field stands on its page: columns counted across the whole page (frames side by
// side), rows top to bottom.
struct Place {
    int column = 0;
    int row = 0;
};

// One calibration field: what it is, where it lives in the records and where it stands.
struct FieldInfo {
    int index = 0;
    std::string_view caption;  // the caption that stands beside the field
    Page page = Page::ReadOnly;
    std::string_view frame;  // the group frame holding the field, empty outside a group
    std::size_t offset = 0;  // offset of the member (or element) in both records
    std::size_t size = 0;    // 1: unsigned 8-bit, 2: unsigned 16-bit
    ValueRule rule = ValueRule::ReadOnly;
    // The most characters the field takes: 3 for a close level or a byte, 5 for a word, 2 for a
    // read-only value (which may still hold more when the radio sends it).
    int lengthLimit = 0;
    bool takesDateOnFocus = false;  // an empty field takes today's date when it gets the focus
    Place place;                    // on its page; unused for a read-only field
    int rangeMax = 0;               // top of the range the rule keeps (a read-only: its member's)
    bool sent = false;              // a write takes the member from this field

    std::uint16_t memberMax() const { return size == 1 ? 0xFF : 0xFFFF; }
    bool readOnly() const { return !sent; }
};

inline constexpr int kFieldCount = 78;

const std::array<FieldInfo, kFieldCount>& catalogue();
// The field with this index; an index outside 0..77 is a program error (std::out_of_range).
const FieldInfo& fieldInfo(int index);
// The fields of a page in on-screen order: column by column from the left, each top to bottom.
std::vector<int> fieldsOnPage(Page page);
// A field's caption, with its frame for grouped fields: "UL SQ 1".
std::string fieldName(int index);
// A field named for the user: its index, name and page.
std::string describeField(int index);

}  // namespace qv
