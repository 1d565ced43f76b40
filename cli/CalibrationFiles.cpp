#include "cli/CalibrationFiles.h"

#include <cstdio>

#include "record/FieldCatalogue.h"

namespace qv::cli {

namespace {

std::string fieldLabel(const FieldInfo& f) {
    return std::to_string(f.index) + " " + std::string(pageCaption(f.page)) + " " +
           fieldName(f.index);
}

}  // namespace

std::vector<Difference> differences(const FieldRecord& first, const FieldRecord& second) {
    std::vector<Difference> found;
    for (const FieldInfo& f : catalogue()) {
        const std::uint16_t a = first.member(f.offset, f.size);
        const std::uint16_t b = second.member(f.offset, f.size);
        if (a != b) {
            found.push_back({f.index, fieldLabel(f), std::to_string(a), std::to_string(b)});
        }
    }
    if (first.Reserved != second.Reserved) {
        found.push_back({-1, "reserved bytes", hexText(first.Reserved), hexText(second.Reserved)});
    }
    return found;
}

std::vector<std::string> fieldLines(const FieldRecord& record) {
    std::size_t pageWidth = 0;
    std::size_t captionWidth = 0;
    for (const FieldInfo& f : catalogue()) {
        pageWidth = std::max(pageWidth, pageCaption(f.page).size());
        captionWidth = std::max(captionWidth, fieldName(f.index).size());
    }
    std::vector<std::string> lines;
    for (const FieldInfo& f : catalogue()) {
        char line[160];
        std::snprintf(line, sizeof line, "%2d  %-*s  %-*s  %5u", f.index,
                      static_cast<int>(pageWidth), std::string(pageCaption(f.page)).c_str(),
                      static_cast<int>(captionWidth), fieldName(f.index).c_str(),
                      static_cast<unsigned>(record.member(f.offset, f.size)));
        lines.emplace_back(line);
    }
    return lines;
}

std::optional<UnwritableField> firstUnwritableField(const FieldRecord& record) {
    for (const FieldInfo& f : catalogue()) {
        const int value = record.member(f.offset, f.size);
        if (f.sent && value > f.rangeMax) {
            return UnwritableField{
                f.index, "The " + describeField(f.index) + " holds " + std::to_string(value) +
                             ", outside its range 0 to " + std::to_string(f.rangeMax) + "."};
        }
    }
    return std::nullopt;
}

}  // namespace qv::cli
