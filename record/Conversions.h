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

    // One sentence naming the field (index, caption, page) and what is wrong with it.
    std::string Message() const;
};

// Field texts into the field record, in field order; every member except Reserved. Stops at
// the first text that is empty, not a number, or outside its member's range: that member is
// left as it was, the fields before it are stored.
std::optional<GatherError> GetRecordByShow(const FieldTexts& texts, FieldRecord& record);

// The members of the 50 sent fields into the calibration record; the read-only members,
// Reserved and offsets 118..131 keep their bytes.
void GetImageByRecord(const FieldRecord& record, CalibrationRecord& image);

// GetRecordByShow, then GetImageByRecord only when every field was gathered.
std::optional<GatherError> GetDataByShow(const FieldTexts& texts, FieldRecord& record,
                                         CalibrationRecord& image);

// The calibration record into every member of the field record except Reserved.
void GetRecordByImage(const CalibrationRecord& image, FieldRecord& record);

// Every member as its display text into its field, in field order.
void ShowByRecord(const FieldRecord& record, FieldTexts& texts);

// GetRecordByImage, then ShowByRecord.
void ShowByData(const CalibrationRecord& image, FieldRecord& record, FieldTexts& texts);

// The band names of the radio's two frequency ranges.
std::int16_t GetFreIndex(const std::string& name);
std::string GetFreStr(std::int16_t index);

}  // namespace qv
