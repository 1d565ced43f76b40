#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <vector>

#include "datafile/DataFile.h"

namespace qv {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class DataFile : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "datafile-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        // An unprivileged child must be able to reach the folder.
        fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
        for (const auto& entry : fs::recursive_directory_iterator(dir_, ec)) {
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
        fs::remove_all(dir_, ec);
    }

    fs::path path(const std::string& name) const { return dir_ / name; }

    static Bytes contents(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    static void put(const fs::path& path, const Bytes& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    static Bytes pattern(std::size_t size, std::uint8_t seed) {
        Bytes bytes(size);
        for (std::size_t k = 0; k < size; ++k) {
            bytes[k] = static_cast<std::uint8_t>(seed + k * 7 + k / 251);  // no period of 64 KiB
        }
        return bytes;
    }
    static FieldRecord distinctive() {
        FieldRecord::Bytes bytes;
        for (std::size_t k = 0; k < bytes.size(); ++k) {
            bytes[k] = static_cast<std::uint8_t>(0x80 + k);
        }
        return FieldRecord::fromBytes(bytes);
    }
    // Names of the folder's entries: a failed save must leave no temporary file behind.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir_;
};

// Runs `body` in a child process and returns its exit code. As root, the child first gives up
// its privileges, so that permissions are enforced as they are for a technician.
int inChild(const std::function<bool()>& body, rlim_t fileSizeLimit = RLIM_INFINITY) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(3);
        }
        if (fileSizeLimit != RLIM_INFINITY) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST_F(DataFile, ANewFileHoldsTheRecordAndNothingElse) {
    ASSERT_FALSE(writeDataFile(path("new.bin"), distinctive()));
    const FieldRecord::Bytes expected = distinctive().toBytes();
    EXPECT_EQ(contents(path("new.bin")), Bytes(expected.begin(), expected.end()));
    EXPECT_EQ(entries(), std::vector<std::string>{"new.bin"});
    // A new file gets the usual mode of new files, not the private mode of a temporary file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(static_cast<mode_t>(fs::status(path("new.bin")).permissions()), 0666 & ~mask);
    FieldRecord read;
    ASSERT_FALSE(readDataFile(path("new.bin"), read));
    EXPECT_EQ(read, distinctive());
}

TEST_F(DataFile, SavingOverALongerFileKeepsItsTailAndPermissions) {
    // The second size needs several pieces to copy its tail.
    for (std::size_t size : {std::size_t{200}, std::size_t{118 + 3 * 65536 + 5}}) {
        SCOPED_TRACE(size);
        const Bytes old = pattern(size, 3);
        put(path("long.bin"), old);
        fs::permissions(path("long.bin"),
                        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        const FieldRecord record = distinctive();
        ASSERT_FALSE(writeDataFile(path("long.bin"), record));
        const Bytes bytes = contents(path("long.bin"));
        ASSERT_EQ(bytes.size(), size);
        const FieldRecord::Bytes head = record.toBytes();
        EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 118), Bytes(head.begin(), head.end()));
        EXPECT_TRUE(std::equal(bytes.begin() + 118, bytes.end(), old.begin() + 118));
        EXPECT_EQ(fs::status(path("long.bin")).permissions(),
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        FieldRecord loaded;
        ASSERT_FALSE(readDataFile(path("long.bin"), loaded));
        EXPECT_EQ(loaded, record);
    }
}

// Links stay links: the file they name is written, and created when it is not there yet.
TEST_F(DataFile, SavingThroughALinkWritesTheFileItNamesAndKeepsTheLink) {
    put(path("real.bin"), pattern(118, 1));
    fs::create_symlink(path("real.bin"), path("link.bin"));
    fs::create_symlink("link.bin", path("chain.bin"));
    fs::create_symlink("later.bin", path("dangling.bin"));
    const FieldRecord::Bytes expected = distinctive().toBytes();
    for (const char* link : {"chain.bin", "dangling.bin"}) {
        SCOPED_TRACE(link);
        ASSERT_FALSE(writeDataFile(path(link), distinctive()));
        EXPECT_TRUE(fs::is_symlink(path(link)));
        EXPECT_EQ(contents(path(link)), Bytes(expected.begin(), expected.end()));
    }
    EXPECT_TRUE(fs::is_symlink(path("link.bin")));
    EXPECT_EQ(contents(path("later.bin")), Bytes(expected.begin(), expected.end()));
    fs::create_symlink("gone/x.bin", path("nowhere.bin"));
    const auto error = writeDataFile(path("nowhere.bin"), distinctive());
    ASSERT_TRUE(error);
    EXPECT_EQ(error->reason, "cannot create a file in its folder: No such file or directory");
    EXPECT_TRUE(fs::is_symlink(path("nowhere.bin")));
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
        const FieldRecord before = record;
        const auto error = readDataFile(path("s.bin"), record);
        EXPECT_EQ(!error, c.accepted);
        if (c.accepted) {
            const FieldRecord::Bytes got = record.toBytes();
            EXPECT_EQ(Bytes(got.begin(), got.end()), Bytes(bytes.begin(), bytes.begin() + 118));
        } else {
            EXPECT_EQ(record, before);
            EXPECT_EQ(error->reason,
                      "the file holds " + std::to_string(c.size) + " bytes; a data file holds 118");
        }
    }
    fs::create_directory(path("folder.bin"));
    for (const fs::path& path : {path("missing.bin"), path("folder.bin"), fs::path("/dev/null")}) {
        FieldRecord record = distinctive();
        ASSERT_TRUE(readDataFile(path, record)) << path;
        EXPECT_EQ(record, distinctive());
    }
}

TEST_F(DataFile, SavingWhereNoFileCanBeLeavesEverythingAsItWas) {
    fs::create_directory(path("folder.bin"));
    struct Case {
        fs::path path;
        const char* reason;
    };
    for (const Case& c : {Case{path("folder.bin"), "Is a directory"},
                          Case{path("no/such/dir/x.bin"),
                               "cannot create a file in its folder: No such file or directory"},
                          Case{"/dev/full", "not a regular file"}}) {
        SCOPED_TRACE(c.path);
        const auto error = writeDataFile(c.path, distinctive());
        ASSERT_TRUE(error);
        EXPECT_EQ(error->reason, c.reason);
        EXPECT_EQ(error->message(), "\"" + c.path.string() + "\": " + c.reason + ".");
    }
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    EXPECT_TRUE(fs::is_directory(path("folder.bin")));
    EXPECT_EQ(entries(), std::vector<std::string>{"folder.bin"});
}

TEST_F(DataFile, WithoutWritePermissionTheOldFileStaysWhole) {
    const Bytes old = pattern(150, 5);
    fs::create_directory(path("ro"));
    put(path("ro/old.bin"), old);
    put(path("locked.bin"), old);
    fs::permissions(path("ro/old.bin"), fs::perms::all);
    fs::permissions(path("ro"), fs::perms::owner_read | fs::perms::owner_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(path("locked.bin"), fs::perms::owner_read | fs::perms::others_read);
    const std::pair<fs::path, std::string> cases[] = {
        {path("ro/old.bin"), "cannot create a file in its folder: Permission denied"},
        {path("ro/new.bin"), "cannot create a file in its folder: Permission denied"},
        {path("locked.bin"), "Permission denied"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        EXPECT_EQ(inChild([&] {
                      const auto error = writeDataFile(c.first, distinctive());
                      return error && error->reason == c.second;
                  }),
                  0);
    }
    EXPECT_EQ(contents(path("ro/old.bin")), old);
    EXPECT_EQ(contents(path("locked.bin")), old);
    EXPECT_FALSE(fs::exists(path("ro/new.bin")));
}

TEST_F(DataFile, AWriteThatFailsPartWayLeavesTheOldFileWhole) {
    const Bytes old = pattern(200, 7);
    put(path("full.bin"), old);
    fs::permissions(path("full.bin"), fs::perms::all);
    fs::permissions(dir_, fs::perms::all);
    // The file-size limit makes the write stop part-way, as a full disk does.
    EXPECT_EQ(inChild(
                  [&] {
                      const auto error = writeDataFile(path("full.bin"), distinctive());
                      return error && error->reason == "File too large";
                  },
                  100),
              0);
    EXPECT_EQ(contents(path("full.bin")), old);
    EXPECT_EQ(entries(), std::vector<std::string>{"full.bin"});
}

}  // namespace
}  // namespace qv
