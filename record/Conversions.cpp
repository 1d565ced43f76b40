#include "Conversions.h"

#include "FieldCatalogue.h"

namespace qv {

namespace {

bool isBlank(const std::string& text) {
    return text.find_first_not_of(" \t") == std::string::npos;
}

}  // namespace

std::optional<GatherError> textsToRecord(const FieldTexts& texts, FieldRecord& record) {
    const NumberFormat format = texts.format();
    for (const FieldInfo& f : catalogue()) {
        if (f.readOnly()) {
            continue;
        }
        const std::string text = texts.text(f.index);
        const std::optional<std::int32_t> n = readNumber(text, format);
        if (!n) {
            return GatherError{.field = f.index,
                               .reason = isBlank(text) ? GatherError::Reason::Empty
                                                       : GatherError::Reason::NotANumber,
                               .text = text};
        }
        if (*n < 0 || *n > f.memberMax()) {
            return GatherError{
                .field = f.index, .reason = GatherError::Reason::OutOfRange, .text = text};
        }
        record.setMember(f.offset, f.size, static_cast<std::uint16_t>(*n));
    }
    return std::nullopt;
}

void recordToImage(const FieldRecord& record, CalibrationRecord& image) {
    for (const FieldInfo& f : catalogue()) {
        if (f.readOnly()) {
            continue;
        }
        const std::uint16_t v = record.member(f.offset, f.size);
        image.setByte(f.offset, static_cast<std::uint8_t>(v & 0xFF));
        if (f.size == 2) {
            image.setByte(f.offset + 1, static_cast<std::uint8_t>(v >> 8));
        }
    }
}

std::optional<GatherError> textsToImage(const FieldTexts& texts, FieldRecord& record,
                                        CalibrationRecord& image) {
    if (auto error = textsToRecord(texts, record)) {
        return error;
    }
    recordToImage(record, image);
    return std::nullopt;
}

void imageToRecord(const CalibrationRecord& image, FieldRecord& record) {
    for (const FieldInfo& f : catalogue()) {
        std::uint16_t v = image.byte(f.offset);
        if (f.size == 2) {
            v = static_cast<std::uint16_t>(v | image.byte(f.offset + 1) << 8);
        }
        record.setMember(f.offset, f.size, v);
    }
}

FieldRecord recordOfMemory(const CalibrationRecord& memory) {
    FieldRecord::Bytes bytes{};
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        bytes[k] = memory.byte(k);
    }
    return FieldRecord::fromBytes(bytes);
}

void recordToTexts(const FieldRecord& record, FieldTexts& texts) {
    for (const FieldInfo& f : catalogue()) {
        if (f.readOnly()) {
            continue;
        }
        texts.setText(f.index, std::to_string(record.member(f.offset, f.size)));
    }
}

void imageToTexts(const CalibrationRecord& image, FieldRecord& record, FieldTexts& texts) {
    imageToRecord(image, record);
    recordToTexts(record, texts);
}

}  // namespace qv
