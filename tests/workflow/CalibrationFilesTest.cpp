#include "workflow/CalibrationFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "datafile/DataFile.h"
#include "record/FieldCatalogue.h"
#include "tests/datafile/Scratch.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

// The close level (field 20) a file holds, the radio memory's byte for it when the file is a
// document read from a radio, what loading gives and whether it is a person's value out of range.
struct Case {
    FileKind kind;
    std::uint16_t value;
    std::optional<std::uint8_t> memory;
    std::uint16_t loaded;
    bool outOfRange;
};

class LoadFile : public testing::TestWithParam<Case> {};

TEST_P(LoadFile, BringsTheRadiosAndDataFilesValuesIntoRangeAndListsAPersons) {
    const Case& c = GetParam();
    const FieldInfo& closeLevel = fieldInfo(20);
    CalibrationDocument document;
    document.record.setMember(closeLevel.offset, closeLevel.size, c.value);
    if (c.memory) {
        document.radio.emplace();
        document.radio->memory.setByte(closeLevel.offset, *c.memory);
    }
    // ctest runs the cases side by side: each has a folder of its own.
    const ScratchFolder folder("load-file");
    const fs::path path = folder / (c.kind == FileKind::DataFile ? "file.bin" : "file.json");
    ASSERT_TRUE(saveCalibration(path, c.kind, document));
    const auto loaded = loadFile(path);
    ASSERT_TRUE(loaded);
    const LoadedFile& file = *loaded;
    EXPECT_EQ(file.document.record.member(closeLevel.offset, closeLevel.size), c.loaded);
    EXPECT_EQ(firstValueOutOfRange(file).has_value(), c.outOfRange);
}

INSTANTIATE_TEST_SUITE_P(CloseLevels, LoadFile,
                         testing::Values(Case{FileKind::DataFile, 7, {}, 6, false},
                                         Case{FileKind::Document, 5, {}, 5, false},
                                         Case{FileKind::Document, 7, {}, 7, true},
                                         Case{FileKind::Document, 7, 7, 6, false},
                                         Case{FileKind::Document, 9, 7, 9, true}));

// A read's document holds what a write of it sends; its memory, the radio's bytes.
TEST(DocumentOfRead, HoldsTheFieldsAfterTheRulesAndTheMemoryAsRead) {
    const FieldInfo& closeLevel = fieldInfo(26);
    RadioOrigin radio;
    radio.memory.setByte(closeLevel.offset, 200);
    const CalibrationDocument document = documentOfRead(radio);
    EXPECT_EQ(document.record.member(closeLevel.offset, closeLevel.size), 6);
    EXPECT_EQ(document.radio->memory.byte(closeLevel.offset), 200);
}

}  // namespace
}  // namespace qv
