#include "link/Transfer.h"

#include <gtest/gtest.h>

#include "tests/support/TransferLine.h"

namespace qv {
namespace {

using namespace std::chrono_literals;
using test::Lines;
using test::TransferLine;

// Each frame armed for the length of its answer; a pause after each answer, and the rest once
// END is answered, counted a second at a time.
TEST(Transfer, ReadArmsEachAnswerAndPauses) {
    TransferLine line;
    line.play("r", "...");
    EXPECT_EQ(line.thresholds, (std::vector{3, 16, 21, 21, 21, 21, 21, 21, 21, 21, 1}));
    while (line.steps.fire()) {
    }
    EXPECT_EQ(line.steps.scheduled,
              (std::vector{10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 1000, 1000, 1000}));
}

// Flags, frames and the one outcome. Flags: 'r' a read, 'W' a write, 'i' an identification,
// 'n' no read-back, 'm' the model is checked, 'x' the radio is a QV-412, 'e' field 5 is empty,
// 'b' no backup can be kept, 'u' answers without a checksum, 'w' with a wrong one, 'f' the radio
// forgets what it is written. Frames: AC (access code), ID (identification), R00..R70 (block
// reads), W00..W70 (write blocks), END; "..." the frames between when all goes well. What
// happens to a frame follows its name: '?' silence, '&' silence and the port gone, '~' the answer
// held back until the next frame, '!' a refusal, '%' a data byte changed, '#' the port refuses it
// (TransferLine::play says it at length).
const char* const kScripts[][3] = {
    {"rm", "AC ID? AC ID ...", "read completed"},
    {"rm", "AC ID? AC ID? AC ID? AC ID?", "NoAnswer"},
    {"Wmx", "AC ID", "WrongModel QV-412"},
    {"We", "... R70 END", "InvalidField 5"},
    {"We", "... R70 END? END? END? END?", "InvalidField 5"},
    {"Wb", "... R70 END", "BackupFailed no room"},
    {"r", "AC ID R00&", "ReopenFailed gone"},
    // The late acknowledgement of W10's first sending is not taken for W20's.
    {"W", "... W00 W10~ W10 W20! W20 ...", "write completed"},
    // An END the port refused is not confirmed by an acknowledgement that comes anyway.
    {"i", "AC ID END# END", "identified"},
    // A block answer is taken when its checksum is right, or when two answers agree; asking
    // again spends the block's re-sends, in a write's reads and its read-back alike.
    {"r", "AC ID R00% R00 ...", "read completed"},
    {"r", "AC ID R00% R00% R00% R00 ...", "read completed"},
    {"ru", "AC ID R00 R00 R10 R10 R20 R20 R30 R30 R40 R40 R50 R50 R60 R60 R70 R70 END",
     "read completed"},
    {"rw", "AC ID R00% R00 R00 R10 R10 R20? R20 R20 R30 R30 R40 R40 R50 R50 R60 R60 R70 R70 END",
     "read completed"},
    {"r", "AC ID R00 R10 R20 R30% R30% R30% R30%", "AnswersDiffer block 3"},
    {"W", "AC ID R00 R10 R20 R30% R30% R30% R30%", "AnswersDiffer block 3"},
    {"W", "... END AC ID ... R50% R50 ...", "write completed"},
    // The write is over when the radio holds what was sent, or the write may leave it out.
    {"Wf", "...", "NotKept QV-4120"},
    {"Wfn", "...", "write completed"},
};

TEST(Transfer, ScriptsRunToTheirOutcome) {
    for (const auto& [flags, frames, outcome] : kScripts) {
        SCOPED_TRACE(std::string(flags) + ": " + frames);
        TransferLine line;
        line.play(flags, frames);
        EXPECT_EQ(line.outcomes, Lines{outcome});
    }
}

// What follows END's acknowledgement, in milliseconds from it, until the next access code: a
// read is reported at once and a write once the radio rests no more; a read started meanwhile,
// in this process or another ('o'), waits until then, counting the seconds left. 'e' stops a
// write before its blocks: it stored nothing and is reported at once.
const std::tuple<std::string, int, Lines> kSequels[] = {
    // The transfer that ends, the steps of its rest ended before the read starts, the timeline.
    {"r", 0, {"0 read completed", "0 Resting 3", "1000 Resting 2", "2000 Resting 1", "3000 AC"}},
    {"r", 1, {"0 read completed", "1000 Resting 2", "1000 Resting 2", "2000 Resting 1", "3000 AC"}},
    {"r", 3, {"0 read completed", "1000 Resting 2", "2000 Resting 1", "3000 over", "3000 AC"}},
    {"ro", 0, {"0 Resting 3", "1000 Resting 2", "2000 Resting 1", "3000 AC"}},
    {"ro", 1, {"1000 Resting 2", "2000 Resting 1", "3000 AC"}},
    {"Wn",
     0,
     {"0 Storing 3", "1000 Storing 2", "2000 Storing 1", "3000 write completed", "3000 AC"}},
    {"Wno", 0, {"3000 AC"}},
    // The write's read-back waits for the rest too.
    {"W", 0, {"0 Storing 3", "1000 Storing 2", "2000 Storing 1", "3000 AC"}},
    {"We", 0, {"0 InvalidField 5", "0 Resting 3", "1000 Resting 2", "2000 Resting 1", "3000 AC"}},
};

TEST(Transfer, NothingGoesToTheRadioWhileItRests) {
    for (const auto& [first, stepsBefore, expected] : kSequels) {
        SCOPED_TRACE(first + " " + std::to_string(stepsBefore));
        const bool elsewhere = first.ends_with('o');
        TransferLine line;
        line.play(first, first == "We" ? "... R70 END" : "...");
        const auto end = std::ranges::find(line.timeline, "END", &TransferLine::Timed::second);
        ASSERT_NE(end, line.timeline.end());
        // Kept as values: the timeline grows, and moves, as the next transfer plays.
        const auto endTime = end->first;
        const auto afterEnd = static_cast<std::size_t>(end - line.timeline.begin()) + 1;
        for (int k = 0; k < stepsBefore; ++k) {
            line.steps.fire();
        }
        TransferLine other(&line);
        TransferLine& next = elsewhere ? other : line;
        next.play("r", "...");
        Lines seen = next.timelineSince(elsewhere ? 0 : afterEnd, endTime);
        seen.resize(std::ranges::find(seen, expected.back()) + 1 - seen.begin());
        EXPECT_EQ(seen, expected);
    }
}

// A write abandoned while the radio stores what it took never completes; its rest is kept.
TEST(Transfer, AWriteAbandonedWhileStoringReportsNothing) {
    TransferLine line;
    line.begin("W", "...");
    while (line.outcomes.empty() && line.timeline.back().second != "Storing 2") {
        line.next();
    }
    line.transfer.abandon();
    EXPECT_FALSE(line.steps.pending());
    EXPECT_TRUE(line.outcomes.empty());
    EXPECT_EQ(line.rests.rests.at("/dev/radio"), line.steps.time + 2s);
}

// The record is believed up to one rest ahead: anything further was not written by a rest.
TEST(Transfer, ARecordedRestIsBelievedUpToOneRest) {
    const std::pair<StepTimer::Clock::duration, Lines> kRecords[] = {
        {-1ms, {"0 AC"}},
        {1500ms, {"0 Resting 2", "500 Resting 1", "1500 AC"}},
        {3000ms, {"0 Resting 3", "1000 Resting 2", "2000 Resting 1", "3000 AC"}},
        {3001ms, {"0 AC"}},
        {24h, {"0 AC"}},
    };
    for (const auto& [ahead, expected] : kRecords) {
        TransferLine line;
        const auto started = line.steps.time;
        line.rests.rests["/dev/radio"] = started + ahead;
        line.play("r", "...");
        Lines seen = line.timelineSince(0, started);
        seen.resize(expected.size());
        EXPECT_EQ(seen, expected);
    }
}

}  // namespace
}  // namespace qv
