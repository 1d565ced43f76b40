#include "workflow/CalibrationFiles.h"

#include <cstdio>

#include "datafile/Backups.h"
#include "record/FieldCatalogue.h"
#include "workflow/FieldRules.h"

namespace qv {

namespace {

std::string fieldLabel(const FieldInfo& f) {
    return std::to_string(f.index) + " " + std::string(pageCaption(f.page)) + " " +
           fieldName(f.index);
}

}  // namespace

Result<FileKind> fileKindFor(const std::filesystem::path& path) {
    if (const auto kind = fileKindOf(path)) {
        return *kind;
    }
    return fail({Failure::Kind::Usage,
                 "neither a data file (.bin) nor a calibration document (.json)", path});
}

Result<LoadedFile> loadFile(const std::filesystem::path& path, std::optional<FileKind> unnamed) {
    const auto kind =
        unnamed ? Result<FileKind>(fileKindOf(path).value_or(*unnamed)) : fileKindFor(path);
    if (!kind) {
        return fail(kind.error());
    }
    LoadedFile loaded;
    const bool dataFile = *kind == FileKind::DataFile;
    if (auto read = loadCalibration(path, *kind, loaded.document); !read) {
        return fail(std::move(read).error());
    }
    FieldRecord& record = loaded.document.record;
    const auto& radio = loaded.document.radio;
    const FieldRecord radioOwn = radio ? recordOfMemory(radio->memory) : FieldRecord{};
    for (const FieldInfo& f : catalogue()) {
        const std::uint16_t value = record.member(f.offset, f.size);
        if (!f.sent || withinFieldRules(f.index, value)) {
            continue;
        }
        if (dataFile || (radio && radioOwn.member(f.offset, f.size) == value)) {
            record.setMember(f.offset, f.size, valueAfterFieldRules(f.index, value));
        } else {
            loaded.outOfRange.push_back({f.index, value});
        }
    }
    return loaded;
}

std::optional<GatherError> firstValueOutOfRange(const LoadedFile& file) {
    if (file.outOfRange.empty()) {
        return std::nullopt;
    }
    const ValueOutOfRange& bad = file.outOfRange.front();
    return GatherError{.field = bad.field,
                       .reason = GatherError::Reason::OutOfRange,
                       .text = std::to_string(bad.value)};
}

CalibrationDocument documentOfRead(const RadioOrigin& radio) {
    CalibrationDocument document = documentOfRadio(radio);
    document.record = recordAfterFieldRules(document.record);
    return document;
}

bool Difference::sent() const {
    return field >= 0 && fieldInfo(field).sent;
}

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

std::vector<Difference> differences(const CalibrationRecord& first,
                                    const CalibrationRecord& second) {
    using Tail = std::array<std::uint8_t, CalibrationRecord::kMemorySize - FieldRecord::kSize>;
    const auto tailOf = [](const CalibrationRecord& memory) {
        Tail tail{};
        for (std::size_t k = 0; k < tail.size(); ++k) {
            tail[k] = memory.byte(FieldRecord::kSize + k);
        }
        return tail;
    };
    std::vector<Difference> found = differences(recordOfMemory(first), recordOfMemory(second));
    if (const Tail a = tailOf(first), b = tailOf(second); a != b) {
        found.push_back({-1, "bytes 118..127", hexText(a), hexText(b)});
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

ValuesGather gatherValues(const FieldRecord& values) {
    auto keptByRadio = std::make_shared<std::vector<Difference>>();
    Transfer::Gather gather = [values, keptByRadio](CalibrationRecord& image) {
        keptByRadio->clear();
        for (Difference& d : differences(values, recordOfMemory(image))) {
            if (!d.sent()) {
                keptByRadio->push_back(std::move(d));
            }
        }
        recordToImage(values, image);
        return std::optional<GatherError>();
    };
    return {std::move(gather), std::move(keptByRadio)};
}

}  // namespace qv
