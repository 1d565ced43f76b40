// What only Windows has: paths with a drive letter and backslashes, and files that another
// program holds open without letting them be replaced.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "datafile/DataFile.h"
#include "tests/datafile/Scratch.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

class DataFileWindows : public testing::Test {
protected:
    // The folder as the system spells it: "C:\users\...\Temp\datafile-...".
    std::string native() const { return folder_.path().string(); }

    ScratchFolder folder_{"datafile"};
};

TEST_F(DataFileWindows, PathsWithADriveLetterAndBackslashesAreSavedAndRead) {
    ASSERT_EQ(native().substr(1, 2), ":\\");
    fs::create_directory(folder_ / "sub");
    for (const std::string& path : {native() + "\\sub\\back.bin", native() + "/sub/forward.bin",
                                    native() + "\\sub/.\\..\\sub\\mixed.bin"}) {
        SCOPED_TRACE(path);
        ASSERT_TRUE(writeDataFile(path, distinctive()));
        EXPECT_EQ(contents(path), bytesOf(distinctive()));
        FieldRecord read;
        ASSERT_TRUE(readDataFile(path, read));
        EXPECT_EQ(read, distinctive());
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_ / "sub"), fs::directory_iterator()), 3);
}

TEST_F(DataFileWindows, AFileHeldOpenWithoutSharingItsDeletionStaysWhole) {
    const Bytes old(150, 5);
    put(folder_ / "held.bin", old);
    // A stream of the C runtime shares its file for reading and writing, not for deleting: the
    // new content is written beside it but cannot take its place.
    std::ifstream holder(folder_ / "held.bin", std::ios::binary);
    const auto written = writeDataFile(native() + "\\held.bin", distinctive());
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().reason, "Permission denied");
    EXPECT_EQ(contents(folder_ / "held.bin"), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace qv
