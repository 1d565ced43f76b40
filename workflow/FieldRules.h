#pragma once

#include <cstdint>

#include "record/FieldRecord.h"

namespace qv {

// A field's value as the window's editor leaves it: its change rule applied (a close level of 7
// becomes 6). Every file and radio value that becomes a field value passes here.
std::uint16_t valueAfterFieldRules(int field, std::uint16_t value);

// Whether the field takes the value as it is.
bool withinFieldRules(int field, std::uint16_t value);

// The record with every sent field's value after the field rules; the rest as it was.
FieldRecord recordAfterFieldRules(FieldRecord record);

}  // namespace qv
