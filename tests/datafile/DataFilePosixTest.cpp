// What only a POSIX system has: modes and owners, symbolic links, FIFOs and devices, and limits
// set on a process.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "datafile/Backups.h"
#include "datafile/CalibrationDocument.h"
#include "datafile/DataFile.h"
#include "platform/Files.h"
#include "tests/datafile/Scratch.h"
#include "tests/platform/SystemForTests.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

class DataFilePosix : public testing::Test {
protected:
    void SetUp() override {
        // An unprivileged child must be able to reach the folder.
        fs::permissions(folder_.path(), fs::perms::owner_all | fs::perms::group_read |
                                            fs::perms::group_exec | fs::perms::others_read |
                                            fs::perms::others_exec);
    }
    void TearDown() override {
        std::error_code ec;
        for (const auto& entry : fs::recursive_directory_iterator(folder_.path(), ec)) {
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
    }

    fs::path path(const std::string& name) const { return folder_ / name; }

    ScratchFolder folder_{"datafile"};
};

TEST_F(DataFilePosix, NewFilesGetTheUsualModeAndReplacedFilesKeepTheirs) {
    ASSERT_TRUE(writeDataFile(path("new.bin"), distinctive()));
    // Not the private mode of a temporary file.
    EXPECT_EQ(static_cast<unsigned>(fs::status(path("new.bin")).permissions()),
              0666 & ~test::creationMask());
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(path("new.bin"), mode);
    ASSERT_TRUE(writeDataFile(path("new.bin"), FieldRecord{}));
    EXPECT_EQ(fs::status(path("new.bin")).permissions(), mode);
}

// Links stay links: the file they name is written, and made when it is not there yet.
TEST_F(DataFilePosix, SavingThroughALinkWritesTheFileItNamesAndKeepsTheLink) {
    put(path("real.bin"), Bytes(118, 1));
    fs::create_symlink(path("real.bin"), path("link.bin"));
    fs::create_symlink("link.bin", path("chain.bin"));
    fs::create_symlink("later.bin", path("dangling.bin"));
    for (const char* link : {"chain.bin", "dangling.bin"}) {
        SCOPED_TRACE(link);
        ASSERT_TRUE(writeDataFile(path(link), distinctive()));
        EXPECT_TRUE(fs::is_symlink(path(link)));
        EXPECT_EQ(contents(path(link)), bytesOf(distinctive()));
    }
    EXPECT_TRUE(fs::is_symlink(path("link.bin")));
    EXPECT_EQ(contents(path("later.bin")), bytesOf(distinctive()));
    fs::create_symlink("gone/x.bin", path("nowhere.bin"));
    const auto written = writeDataFile(path("nowhere.bin"), distinctive());
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().reason, "No such file or directory");
    EXPECT_TRUE(fs::is_symlink(path("nowhere.bin")));
}

// Where the system refuses to follow a link, as Linux does for another user's link in a shared
// folder with fs.protected_symlinks set, a save through it is refused for the same reason.
TEST_F(DataFilePosix, ALinkIsFollowedOnlyWhereTheSystemFollowsIt) {
    std::ifstream setting("/proc/sys/fs/protected_symlinks");
    int protectedLinks = 0;
    if (!test::runsAsRoot() || !(setting >> protectedLinks) || protectedLinks != 1) {
        GTEST_SKIP() << "needs root and fs.protected_symlinks=1";
    }
    const Bytes old(118, 4);
    put(path("victim.bin"), old);
    fs::create_directory(path("shared"));
    fs::permissions(path("shared"), fs::perms::all | fs::perms::sticky_bit);
    fs::create_symlink(path("victim.bin"), path("shared/link.bin"));
    ASSERT_TRUE(test::giveLinkToNobody(path("shared/link.bin")));
    const auto written = writeDataFile(path("shared/link.bin"), distinctive());
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().reason, "Permission denied");
    EXPECT_EQ(contents(path("victim.bin")), old);
    EXPECT_TRUE(fs::is_symlink(path("shared/link.bin")));
}

// Folders, FIFOs and devices are neither read nor replaced, as data files or documents, and
// never waited on.
TEST_F(DataFilePosix, OnlyRegularFilesAreReadOrReplaced) {
    ASSERT_TRUE(test::makeFifo(path("fifo.bin")));
    fs::create_symlink("fifo.bin", path("to-fifo.bin"));
    const std::pair<fs::path, const char*> cases[] = {
        {path("fifo.bin"), "not a regular file"}, {path("to-fifo.bin"), "not a regular file"},
        {"/dev/zero", "not a regular file"},      {"/dev/null", "not a regular file"},
        {folder_.path(), "Is a directory"},
    };
    for (const auto& [where, reason] : cases) {
        SCOPED_TRACE(where);
        FieldRecord record = distinctive();
        CalibrationDocument document;
        for (const auto& done : {readDataFile(where, record), writeDataFile(where, distinctive()),
                                 readDocument(where, document)}) {
            ASSERT_FALSE(done);
            EXPECT_EQ(done.error().reason, reason);
        }
        EXPECT_EQ(record, distinctive());
    }
    EXPECT_TRUE(fs::is_fifo(path("fifo.bin")));
    EXPECT_TRUE(fs::is_character_file("/dev/zero"));
}

// The temporary file beside it must fit wherever the name itself fits.
TEST_F(DataFilePosix, EveryNameTheSystemAllowsCanBeSaved) {
    const std::size_t longest = test::longestName(folder_.path());
    ASSERT_GT(longest, 8u);
    const auto named = [&](std::size_t size, const std::string& extension) {
        return path(std::string(size - extension.size(), 'n') + extension);
    };
    ASSERT_TRUE(writeDataFile(named(longest, ".bin"), distinctive()));
    ASSERT_TRUE(writeDataFile(named(longest, ".bin"), FieldRecord{}));
    ASSERT_TRUE(writeDocument(named(longest, ".json"), {.record = distinctive(), .radio = {}}));
    FieldRecord record;
    ASSERT_TRUE(readDataFile(named(longest, ".bin"), record));
    EXPECT_EQ(record, FieldRecord{});
    const auto tooLong = writeDataFile(named(longest + 1, ".bin"), distinctive());
    ASSERT_FALSE(tooLong);
    EXPECT_EQ(tooLong.error().reason, "File name too long");
}

// Refused for want of permission, or stopped part-way by the file-size limit as by a full disk:
// the old file stays whole, and nothing is left beside it.
TEST_F(DataFilePosix, AWriteRefusedOrFailingPartWayLeavesTheOldFileWhole) {
    const Bytes old(200, 5);
    fs::create_directory(path("ro"));
    fs::create_directory(path("open"));
    for (const char* name : {"ro/old.bin", "locked.bin", "open/full.bin"}) {
        put(path(name), old);
    }
    fs::permissions(path("ro/old.bin"), fs::perms::all);
    fs::permissions(path("ro"), fs::perms::owner_read | fs::perms::owner_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(path("locked.bin"), fs::perms::owner_read | fs::perms::others_read);
    fs::permissions(path("open"), fs::perms::all);
    fs::permissions(path("open/full.bin"), fs::perms::all);
    const std::string noFolder = "cannot create a file in its folder: Permission denied";
    const std::tuple<fs::path, std::string, std::optional<std::uint64_t>> cases[] = {
        {path("ro/old.bin"), noFolder, std::nullopt},
        {path("ro/new.bin"), noFolder, std::nullopt},
        {path("locked.bin"), "Permission denied", std::nullopt},
        {path("open/full.bin"), "File too large", 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::get<0>(c));
        EXPECT_EQ(test::inChild(
                      [&] {
                          const auto written = writeDataFile(std::get<0>(c), distinctive());
                          return !written && written.error().reason == std::get<1>(c);
                      },
                      std::get<2>(c)),
                  0);
    }
    for (const char* name : {"ro/old.bin", "locked.bin", "open/full.bin"}) {
        EXPECT_EQ(contents(path(name)), old) << name;
    }
    for (const char* folder : {"ro", "open"}) {
        EXPECT_EQ(std::distance(fs::directory_iterator(path(folder)), fs::directory_iterator()), 1);
    }
}

// A backup that cannot be kept says why and leaves nothing behind: not into a folder that is a
// link to nothing, nor part-way when the disk fills, with or without exclusive renames.
TEST_F(DataFilePosix, ABackupThatCannotBeKeptLeavesNothing) {
    fs::create_directory_symlink("gone", path("dangling"));
    const auto dangling = keepBackup(path("dangling"), RadioOrigin{}, "read");
    ASSERT_FALSE(dangling);
    EXPECT_EQ(dangling.error().reason, "the backups folder is a link to nothing");
    EXPECT_FALSE(fs::exists(path("gone")));
    fs::create_directory(path("full"));
    fs::permissions(path("full"), fs::perms::all);
    using platform::Lacking;
    for (const Lacking lacking : {Lacking::Nothing, Lacking::HardLinksAndExclusiveRename}) {
        platform::actAsFilesystemLacking(lacking);
        EXPECT_EQ(test::inChild(
                      [&] {
                          const auto kept = keepBackup(path("full"), RadioOrigin{}, "read");
                          return !kept && kept.error().reason == "File too large";
                      },
                      1000),
                  0);
        EXPECT_TRUE(fs::is_empty(path("full")));
    }
    platform::actAsFilesystemLacking(Lacking::Nothing);
}

}  // namespace
}  // namespace qv
