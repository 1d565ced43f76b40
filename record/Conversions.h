#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "CalibrationRecord.h"
#include "FieldRecord.h"
#include "FieldTexts.h"

namespace qv {

// Why a field text could not be gathered into its member.
struct GatherError {
    enum class Reason { Empty, NotANumber, OutOfRange };
    int field = 0;
    Reason reason = Reason::Empty;
    std::string text;
};

// The editable fields' texts into their members of the field record, in field order; the
// read-only members and Reserved keep their values. Stops at the first text that is empty,
// not a number, or outside its member's range: that member is left as it was, the fields
// before it are stored.
std::optional<GatherError> textsToRecord(const FieldTexts& texts, FieldRecord& record);

// The members of the editable fields into the calibration record; the read-only members,
// Reserved and offsets 118..131 keep their bytes.
void recordToImage(const FieldRecord& record, CalibrationRecord& image);

// textsToRecord, then recordToImage only when every field was gathered.
std::optional<GatherError> textsToImage(const FieldTexts& texts, FieldRecord& record,
                                        CalibrationRecord& image);

// The calibration record into every member of the field record except Reserved.
void imageToRecord(const CalibrationRecord& image, FieldRecord& record);

// The field record as the memory holds it: every member and the reserved bytes.
FieldRecord recordOfMemory(const CalibrationRecord& memory);

// Every editable member as its display text into its field, in field order.
void recordToTexts(const FieldRecord& record, FieldTexts& texts);

// imageToRecord, then recordToTexts.
void imageToTexts(const CalibrationRecord& image, FieldRecord& record, FieldTexts& texts);

}  // namespace qv
