#include "datafile/Backups.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <latch>
#include <set>
#include <thread>
#include <vector>

#include "platform/Files.h"
#include "tests/datafile/Scratch.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

const RadioOrigin kRadio{.model = "QV-4120",
                         .version = "01.02",
                         .time = "2026-12-07T09:30:00Z",
                         .port = "COM9",
                         .memory = {}};

TEST(Backups, EachIsADocumentOfTheWholeMemoryNamedForTheRadioAndNeverReplaced) {
    const ScratchFolder dir("backups");
    RadioOrigin radio = kRadio;
    for (std::size_t k = 0; k < CalibrationRecord::kMemorySize; ++k) {
        radio.memory.setByte(k, static_cast<std::uint8_t>(k + 1));
    }
    const auto first = keepBackup(dir / "backups", radio, "write");
    const auto second = keepBackup(dir / "backups", radio, "write");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->filename(), "QV-4120_01.02_20261207T093000Z_write.json");
    EXPECT_EQ(second->filename(), "QV-4120_01.02_20261207T093000Z_write-2.json");
    CalibrationDocument kept;
    ASSERT_TRUE(readDocument(*first, kept));
    ASSERT_TRUE(kept.radio);
    EXPECT_EQ(kept.radio->memory.byte(127), 128);
    EXPECT_EQ(kept.record.VfFreq, 0x0201);
    EXPECT_EQ(kept.record.Reserved, (std::array<std::uint8_t, 6>{109, 110, 111, 112, 113, 114}));

    radio.model = "QV/41 20";
    std::ofstream(dir / "file") << "x";
    const auto refused = keepBackup(dir / "file" / "backups", radio, "read");
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().path, dir / "file" / "backups");
    const auto odd = keepBackup(dir / "backups", radio, "read");
    EXPECT_EQ(odd->filename(), "QV_41_20_01.02_20261207T093000Z_read.json");
    EXPECT_EQ(utcTime(std::chrono::system_clock::from_time_t(1796635800)), "2026-12-07T09:30:00Z");
}

// Sessions that finish together take the same second for their names, on a disk with hard
// links, on one without them, and on one that cannot rename exclusively either.
TEST(Backups, SessionsKeepingBackupsAtOnceEachKeepTheirOwnOnAnyDisk) {
    using platform::Lacking;
    for (const Lacking lacking :
         {Lacking::Nothing, Lacking::HardLinks, Lacking::HardLinksAndExclusiveRename}) {
        SCOPED_TRACE(static_cast<int>(lacking));
        platform::actAsFilesystemLacking(lacking);
        const ScratchFolder dir("backups");
        constexpr int kSessions = 8;
        constexpr int kRounds = 5;
        std::set<fs::path> kept;
        for (int round = 0; round < kRounds; ++round) {
            std::vector<std::optional<Result<fs::path>>> results(kSessions);
            std::latch start(kSessions);
            std::vector<std::jthread> sessions;
            sessions.reserve(kSessions);
            for (auto& result : results) {
                sessions.emplace_back([&] {
                    start.arrive_and_wait();
                    result = keepBackup(dir.path(), kRadio, "write");
                });
            }
            sessions.clear();
            for (const auto& result : results) {
                ASSERT_TRUE(result && *result);
                kept.insert(**result);
            }
        }
        ASSERT_EQ(kept.size(), std::size_t{kSessions} * kRounds);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()),
                  kSessions * kRounds);
        for (const fs::path& path : kept) {
            CalibrationDocument document;
            EXPECT_TRUE(readDocument(path, document)) << path;
        }
    }
    platform::actAsFilesystemLacking(Lacking::Nothing);
}

}  // namespace
}  // namespace qv
