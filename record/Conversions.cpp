#include "Conversions.h"

#include "FieldCatalogue.h"

namespace qv {

namespace {

constexpr const char* kBand0 = "400 - 520 MHz";
constexpr const char* kBand1 = "136 - 174 MHz";

bool IsBlank(const std::string& text) {
    return text.find_first_not_of(" \t") == std::string::npos;
}

}  // namespace

std::string GatherError::Message() const {
    const FieldInfo& f = Field(field);
    std::string what = "The " + DescribeField(field);
    switch (reason) {
        case Reason::Empty:
            return what + " is empty.";
        case Reason::NotANumber:
            return what + " holds \"" + text + "\", which is not a number.";
        case Reason::OutOfRange:
            return what + " holds " + text + ", outside its range 0 to " +
                   std::to_string(f.MemberMax()) + ".";
    }
    return what + ".";
}

std::optional<GatherError> GetRecordByShow(const FieldTexts& texts, FieldRecord& record) {
    const NumberFormat format = texts.Format();
    for (const FieldInfo& f : Catalogue()) {
        const std::string text = texts.Text(f.index);
        const std::optional<std::int32_t> n = ReadNumber(text, format);
        if (!n) {
            return GatherError{.field = f.index,
                               .reason = IsBlank(text) ? GatherError::Reason::Empty
                                                       : GatherError::Reason::NotANumber,
                               .text = text};
        }
        if (*n < 0 || *n > f.MemberMax()) {
            return GatherError{
                .field = f.index, .reason = GatherError::Reason::OutOfRange, .text = text};
        }
        record.SetMember(f.offset, f.size, static_cast<std::uint16_t>(*n));
    }
    return std::nullopt;
}

void GetImageByRecord(const FieldRecord& record, CalibrationRecord& image) {
    for (const FieldInfo& f : Catalogue()) {
        if (!f.sent) {
            continue;
        }
        const std::uint16_t v = record.Member(f.offset, f.size);
        image.SetByte(f.offset, static_cast<std::uint8_t>(v & 0xFF));
        if (f.size == 2) {
            image.SetByte(f.offset + 1, static_cast<std::uint8_t>(v >> 8));
        }
    }
}

std::optional<GatherError> GetDataByShow(const FieldTexts& texts, FieldRecord& record,
                                         CalibrationRecord& image) {
    if (auto error = GetRecordByShow(texts, record)) {
        return error;
    }
    GetImageByRecord(record, image);
    return std::nullopt;
}

void GetRecordByImage(const CalibrationRecord& image, FieldRecord& record) {
    for (const FieldInfo& f : Catalogue()) {
        std::uint16_t v = image.Byte(f.offset);
        if (f.size == 2) {
            v = static_cast<std::uint16_t>(v | image.Byte(f.offset + 1) << 8);
        }
        record.SetMember(f.offset, f.size, v);
    }
}

void ShowByRecord(const FieldRecord& record, FieldTexts& texts) {
    for (const FieldInfo& f : Catalogue()) {
        texts.SetText(f.index, std::to_string(record.Member(f.offset, f.size)));
    }
}

void ShowByData(const CalibrationRecord& image, FieldRecord& record, FieldTexts& texts) {
    GetRecordByImage(image, record);
    ShowByRecord(record, texts);
}

std::int16_t GetFreIndex(const std::string& name) {
    return name == kBand1 ? 1 : 0;
}

std::string GetFreStr(std::int16_t index) {
    switch (index) {
        case 0:
            return kBand0;
        case 1:
            return kBand1;
        default:
            return "Unknown Band";
    }
}

}  // namespace qv
