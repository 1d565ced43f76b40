// Reading a field text as a number, the change rule, and the conversions between field texts,
// the field record and the calibration record, checked by their properties: a number reads as
// the correctly rounded value of its decimal text, every text is gathered or refused for the
// right reason, and memory, texts and records convert into each other without a byte changing.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "record/Conversions.h"
#include "record/EditRules.h"
#include "record/FieldCatalogue.h"

namespace qv::fuzz {
namespace {

// The digits of a decimal text's mantissa that decide its value.
std::size_t significantDigits(const std::string& text) {
    std::string digits;
    for (char c : text.substr(0, text.find_first_of("eE"))) {
        if (c >= '0' && c <= '9') {
            digits += c;
        }
    }
    const std::size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? 0 : digits.find_last_not_of('0') + 1 - first;
}

void numberText(const std::string& text) {
    const std::optional<std::int32_t> n = readNumber(text);
    std::string swapped = text;
    std::replace_if(
        swapped.begin(), swapped.end(), [](char c) { return c == '.' || c == ','; }, '\x01');
    for (std::size_t i = 0; i < swapped.size(); ++i) {
        if (swapped[i] == '\x01') {
            swapped[i] = text[i] == '.' ? ',' : '.';
        }
    }
    check(readNumber(swapped, {.decimalPoint = ","}) == n, "the separator is the format's");
    if (n) {
        check(readNumber(std::to_string(*n)) == n, "a value reads back from its own text");
    }
    // Within the decimal grammar the C library agrees on what is a number and, for up to 15
    // significant digits, where its double is exact enough, on the rounded value.
    const std::size_t begin = text.find_first_not_of(" \t");
    const std::size_t end = text.find_last_not_of(" \t");
    const std::string core = begin == std::string::npos ? "" : text.substr(begin, end - begin + 1);
    if (core.empty() || core.find_first_not_of("0123456789+-.eE") != std::string::npos) {
        return;
    }
    char* stop = nullptr;
    const double value = std::strtod(core.c_str(), &stop);
    check(n.has_value() == (stop == core.c_str() + core.size()), "a number as C reads one");
    if (n && significantDigits(core) <= 15) {
        const double rounded =
            std::clamp(std::nearbyint(value), double{std::numeric_limits<std::int32_t>::min()},
                       double{std::numeric_limits<std::int32_t>::max()});
        check(static_cast<double>(*n) == rounded, "rounded once, a half to even, saturated");
    }
}

bool editable(std::size_t offset) {
    return std::ranges::any_of(catalogue(), [&](const FieldInfo& f) {
        return f.sent && offset >= f.offset && offset < f.offset + f.size;
    });
}

void memory(FuzzedDataProvider& input) {
    CalibrationRecord image;
    for (std::size_t k = 0; k < CalibrationRecord::kSize; ++k) {
        image.setByte(k, input.ConsumeIntegral<std::uint8_t>());
    }
    FieldRecord record;
    record.Reserved.fill(0x5A);
    FieldTextsArray texts;
    imageToTexts(image, record, texts);
    FieldRecord expected = recordOfMemory(image);
    expected.Reserved.fill(0x5A);
    check(record == expected, "every member but Reserved comes from memory");

    CalibrationRecord other;
    for (std::size_t k = 0; k < CalibrationRecord::kSize; ++k) {
        other.setByte(k, static_cast<std::uint8_t>(~image.byte(k)));
    }
    FieldRecord scratch;
    check(!textsToImage(texts, scratch, other), "texts shown from memory gather");
    for (std::size_t k = 0; k < CalibrationRecord::kSize; ++k) {
        check(other.byte(k) ==
                  (editable(k) ? image.byte(k) : static_cast<std::uint8_t>(~image.byte(k))),
              "the fields go into their bytes and no other");
    }
}

void texts(FuzzedDataProvider& input) {
    FieldTextsArray texts;
    for (std::string& text : texts.texts) {
        text = input.ConsumeRandomLengthString(12);
    }
    FieldRecord::Bytes pattern;
    for (std::size_t k = 0; k < pattern.size(); ++k) {
        pattern[k] = static_cast<std::uint8_t>(k * 7);
    }
    const FieldRecord before = FieldRecord::fromBytes(pattern);
    FieldRecord record = before;
    const std::optional<GatherError> error = textsToRecord(texts, record);
    bool refused = false;
    for (const FieldInfo& f : catalogue()) {
        if (!f.sent || refused) {
            continue;
        }
        const std::string& text = texts.texts.at(f.index);
        const std::string changed = applyChangeRule(f.index, text);
        check(applyChangeRule(f.index, changed) == changed, "the change rule settles at once");
        const std::optional<std::string> fitted = fitLengthLimit(f.index, text);
        check(!fitted || fitLengthLimit(f.index, *fitted) == fitted, "a fitted text fits");
        const std::optional<std::int32_t> n = readNumber(text);
        const bool fits = n && *n >= 0 && *n <= f.memberMax();
        refused = error && error->field == f.index;
        if (refused) {
            using Reason = GatherError::Reason;
            const bool blank = text.find_first_not_of(" \t") == std::string::npos;
            check(!fits && error->text == text &&
                      error->reason == (n       ? Reason::OutOfRange
                                        : blank ? Reason::Empty
                                                : Reason::NotANumber),
                  "a field is refused for what is wrong with it");
            check(record.member(f.offset, f.size) == before.member(f.offset, f.size),
                  "a refused field keeps its member");
        } else {
            check(fits && record.member(f.offset, f.size) == *n,
                  "a gathered field holds its value");
        }
    }
    check(refused == error.has_value(), "a refusal names a field that is gathered");
    if (!error) {
        FieldTextsArray shown;
        recordToTexts(record, shown);
        FieldRecord again = before;
        check(!textsToRecord(shown, again) && again == record, "a record shown gathers back");
    }
}

}  // namespace
}  // namespace qv::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    switch (input.ConsumeIntegralInRange(0, 2)) {
        case 0:
            qv::fuzz::numberText(input.ConsumeRemainingBytesAsString());
            break;
        case 1:
            qv::fuzz::memory(input);
            break;
        default:
            qv::fuzz::texts(input);
            break;
    }
    return 0;
}
