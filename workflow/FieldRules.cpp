#include "workflow/FieldRules.h"

#include <string>

#include "record/EditRules.h"
#include "record/FieldCatalogue.h"

namespace qv {

std::uint16_t valueAfterFieldRules(int field, std::uint16_t value) {
    const std::string ruled = applyChangeRule(field, std::to_string(value));
    return static_cast<std::uint16_t>(std::stoul(ruled));
}

bool withinFieldRules(int field, std::uint16_t value) {
    return valueAfterFieldRules(field, value) == value;
}

FieldRecord recordAfterFieldRules(FieldRecord record) {
    for (const FieldInfo& f : catalogue()) {
        if (f.sent) {
            record.setMember(f.offset, f.size,
                             valueAfterFieldRules(f.index, record.member(f.offset, f.size)));
        }
    }
    return record;
}

}  // namespace qv
