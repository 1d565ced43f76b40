#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "datafile/CalibrationDocument.h"
#include "link/Transfer.h"
#include "record/FieldRecord.h"
#include "workflow/Wording.h"

namespace qv {

// A value a person put in a document outside its field's range: a write refuses it, the
// window's editor brings it into range.
struct ValueOutOfRange {
    int field = 0;
    std::uint16_t value = 0;
};

// A data file or document as field values. A data file's fields, and a document's fields that
// hold the radio's own value (its memory holds the same), come after the field rules, as the
// window shows them; any other value out of range stays as written and is listed. A name with
// neither extension loads as `unnamed` when given.
struct LoadedFile {
    CalibrationDocument document;
    std::vector<ValueOutOfRange> outOfRange;
};
// Wording::fileNotLoaded words its failure.
Result<LoadedFile> loadFile(const std::filesystem::path& path,
                            std::optional<FileKind> unnamed = std::nullopt);

// The kind of file the name asks for, by its extension; a name of neither is a usage failure.
Result<FileKind> fileKindFor(const std::filesystem::path& path);

// The first value out of range, which stops a write of the file or its saving.
std::optional<GatherError> firstValueOutOfRange(const LoadedFile& file);

// The document of a radio read: each field as the window shows it after the field rules, so
// that a write of it sends what was read; the memory as the radio holds it.
CalibrationDocument documentOfRead(const RadioOrigin& radio);

// A field whose values differ between two records, or the reserved bytes (field -1).
struct Difference {
    int field = -1;
    std::string label;  // "20 OTHER ***ASQ close level", or "reserved bytes"
    std::string first;
    std::string second;

    bool sent() const;
};
std::vector<Difference> differences(const FieldRecord& first, const FieldRecord& second);
// The same over two whole memories, the bytes beyond the field record as one more (field -1).
std::vector<Difference> differences(const CalibrationRecord& first,
                                    const CalibrationRecord& second);

// Each field as "index page caption value", in index order and aligned columns.
std::vector<std::string> fieldLines(const FieldRecord& record);

// What a write calls to put `values` into the image it sends, and what it found there: the
// read-only values and reserved bytes where the radio's own differ from them, which stay the
// radio's. The function and `keptByRadio` share the list, which outlives either.
struct ValuesGather {
    Transfer::Gather gather;
    std::shared_ptr<const std::vector<Difference>> keptByRadio;
};
ValuesGather gatherValues(const FieldRecord& values);

}  // namespace qv
