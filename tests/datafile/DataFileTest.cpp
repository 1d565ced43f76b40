#include "datafile/DataFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "datafile/PathText.h"
#include "tests/datafile/Scratch.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

class DataFile : public testing::Test {
protected:
    fs::path path(const std::string& name) const { return folder_ / name; }

    static Bytes pattern(std::size_t size, std::uint8_t seed) {
        Bytes bytes(size);
        for (std::size_t k = 0; k < size; ++k) {
            bytes[k] = static_cast<std::uint8_t>(seed + k * 7 + k / 251);  // no period of 64 KiB
        }
        return bytes;
    }
    // Names of the folder's entries: a save must leave no temporary file behind.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_.path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    ScratchFolder folder_{"datafile"};
};

TEST_F(DataFile, ANewFileHoldsTheRecordByteForByte) {
    ASSERT_TRUE(writeDataFile(path("new.bin"), distinctive()));
    EXPECT_EQ(contents(path("new.bin")), bytesOf(distinctive()));
    EXPECT_EQ(entries(), std::vector<std::string>{"new.bin"});
    FieldRecord read;
    ASSERT_TRUE(readDataFile(path("new.bin"), read));
    EXPECT_EQ(read, distinctive());
}

// A name in any script, given as UTF-8, is the system's name for the file, and an error says it
// as it was given.
TEST_F(DataFile, NamesInAnyScriptReachTheSystemWhole) {
    const std::pair<std::string, std::u16string> names[] = {
        {"数据.bin", u"数据.bin"}, {"calibração.bin", u"calibração.bin"}, {"😀.bin", u"😀.bin"}};
    for (const auto& [utf8, system] : names) {
        SCOPED_TRACE(utf8);
        ASSERT_TRUE(writeDataFile(folder_.path() / pathFromUtf8(utf8), distinctive()));
        EXPECT_EQ(contents(folder_.path() / system), bytesOf(distinctive()));
        FieldRecord read;
        const fs::path missing = folder_.path() / pathFromUtf8(utf8 + "无");
        const auto done = readDataFile(missing, read);
        ASSERT_FALSE(done);
        const std::string text = failureText(done.error());
        EXPECT_EQ(text.find(utf8Text(missing) + "\": "), 1U) << text;
    }
}

TEST_F(DataFile, SavingOverALongerFileKeepsItsTail) {
    // The second size needs several pieces to copy its tail.
    for (std::size_t size : {std::size_t{200}, std::size_t{118 + 3 * 65536 + 5}}) {
        SCOPED_TRACE(size);
        const Bytes old = pattern(size, 3);
        put(path("long.bin"), old);
        ASSERT_TRUE(writeDataFile(path("long.bin"), distinctive()));
        const Bytes bytes = contents(path("long.bin"));
        ASSERT_EQ(bytes.size(), size);
        EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 118), bytesOf(distinctive()));
        EXPECT_TRUE(std::equal(bytes.begin() + 118, bytes.end(), old.begin() + 118));
        FieldRecord loaded;
        ASSERT_TRUE(readDataFile(path("long.bin"), loaded));
        EXPECT_EQ(loaded, distinctive());
    }
    EXPECT_EQ(entries(), std::vector<std::string>{"long.bin"});
}

TEST_F(DataFile, LoadingBySizeRefusesShortFilesAndUsesTheFirst118Bytes) {
    struct Case {
        std::size_t size;
        bool accepted;
    };
    for (const Case& c :
         {Case{0, false}, Case{1, false}, Case{117, false}, Case{118, true}, Case{200, true}}) {
        SCOPED_TRACE(c.size);
        const Bytes bytes = pattern(c.size, 9);
        put(path("s.bin"), bytes);
        FieldRecord record = distinctive();
        const auto done = readDataFile(path("s.bin"), record);
        EXPECT_EQ(done.has_value(), c.accepted);
        if (c.accepted) {
            EXPECT_EQ(bytesOf(record), Bytes(bytes.begin(), bytes.begin() + 118));
        } else {
            EXPECT_EQ(record, distinctive());
            EXPECT_EQ(done.error().reason,
                      "the file holds " + std::to_string(c.size) + " bytes; a data file holds 118");
        }
    }
}

// Reading and saving where no data file is, and what the tool says; nothing changes.
TEST_F(DataFile, WhereNoFileCanBeNothingChanges) {
    fs::create_directory(path("folder.bin"));
    const std::tuple<fs::path, bool, const char*> cases[] = {
        {path("folder.bin"), true, "Is a directory"},
        {path("folder.bin"), false, "Is a directory"},
        {path("no/such/dir/x.bin"), true,
         "cannot create a file in its folder: No such file or directory"},
        {path("missing.bin"), false, "No such file or directory"}};
    for (const auto& [where, saving, reason] : cases) {
        SCOPED_TRACE(where);
        FieldRecord record = distinctive();
        const auto done =
            saving ? writeDataFile(where, distinctive()) : readDataFile(where, record);
        ASSERT_FALSE(done);
        EXPECT_EQ(done.error().reason, reason);
        EXPECT_EQ(failureText(done.error()), "\"" + where.string() + "\": " + reason + ".");
        EXPECT_EQ(record, distinctive());
    }
    EXPECT_TRUE(fs::is_directory(path("folder.bin")));
    EXPECT_EQ(entries(), std::vector<std::string>{"folder.bin"});
}

}  // namespace
}  // namespace qv
