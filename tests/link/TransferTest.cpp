#include "link/Transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <iterator>
#include <map>
#include <numeric>
#include <optional>
#include <sstream>

#include "SimulatedRadio.h"
#include "tests/support/FakeAnswerTimer.h"
#include "tests/support/FakeFieldTexts.h"
#include "tests/support/FakePause.h"
#include "tests/support/FakeSerialPort.h"
#include "tests/support/Hex.h"
#include "tests/support/RecordingListener.h"
#include "tests/support/WrittenWithSevens.h"

namespace qv {
namespace {

using test::hex;
using Lines = std::vector<std::string>;
using Kind = sim::Fault::Kind;

const std::map<char, Kind> kFaults{
    {'?', Kind::Silence}, {'!', Kind::Refusal}, {'~', Kind::OtherAddress}, {'^', Kind::Drop},
    {'%', Kind::Silence}, {'&', Kind::Silence}, {'#', Kind::Silence}};
// One answer of each kind.
const std::vector<Frame> kAnswers{
    hex("4B 56 06"), hex("06"), hex("0A"), hex("49 51 56 00 00 00 00 00 00 30 31 30 32 00 00 00"),
    hex("57 60 40 10 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 00")};

Lines words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), {}};
}

std::string nameOf(const std::string& word) {
    return word.substr(0, word.find_first_of("?!~^%&*#"));
}

// A transfer and the simulated radio at the other end of its line. Every outcome must find the
// port closed and the timer stopped, and nothing moves the transfer once it has ended.
class Line {
public:
    Line() {
        std::iota(memory.begin(), memory.end(), 3);
        texts.texts.fill("7");
        listener.atOutcome = [this] { EXPECT_FALSE(port.opened || timer.running); };
    }

    // Runs a transfer to its end, letting the answer timer expire whenever it waits; `meanwhile`
    // runs as it first waits. The script names the frames it must send (AC, ID, R00..R70 for
    // read requests, W00..W70 for write blocks, END), each marked with what happens to it:
    // nothing (the radio answers), '?' silence, '!' a refusal, '~' the answer for another block,
    // '^' the line drops, '%' silence with the port closed meanwhile, '&' which cannot be opened
    // again, '*' every other kind of answer before the right one, '#' the port does not take it.
    // "..." stands for the frames between when all goes well. Flags: 'W' a write, 'w' one to a
    // radio whose memory is all 0xEE, 'm' the model QV-4120 is checked, the radio is 'x' a
    // QV-9999 or 'p' a QV-412, 'e' field 5 is empty, 'u' the port cannot be opened, 'S' a read is
    // started first and left waiting; in the pause after END 'A' the transfer is abandoned, 'L'
    // the device is lost.
    void play(
        const std::string& flags, const std::string& script,
        const std::function<void()>& meanwhile = [] {}) {
        const auto has = [&](char flag) { return flags.find(flag) != std::string::npos; };
        const bool write = has('w') || has('W');
        const Lines all = words(write ? "AC ID R00 R10 R20 R30 R60 R70 W00 W10 W20 W30 W40 "
                                        "W50 W60 W70 END"
                                      : "AC ID R00 R10 R20 R30 R40 R50 R60 R70 END");
        const Lines given = words(script);
        std::vector<sim::Fault> faults;
        for (std::size_t i = 0, first = script_.size(); i < given.size(); ++i) {
            const auto from =
                i == 0 ? all.begin() : std::ranges::find(all, nameOf(given[i - 1])) + 1;
            const auto to =
                i + 1 < given.size() ? std::ranges::find(all, nameOf(given[i + 1])) : all.end();
            for (const std::string& frame : given[i] == "..." ? Lines(from, to) : Lines{given[i]}) {
                const int number = static_cast<int>(script_.size() - first) + 1;
                if (kFaults.contains(frame.back())) {
                    faults.push_back({kFaults.at(frame.back()), number, number});
                }
                if (frame.back() == '#') {
                    port.refusing.insert(script_.size());
                }
                script_.push_back(frame);
            }
        }
        if (has('w')) {
            memory.fill(0xEE);
        }
        radio_.emplace(sim::SimulatedRadio::Identity{.accessCode = "ABCDEFGHIJ",
                                                     .model = has('x')   ? "QV-9999"
                                                              : has('p') ? "QV-412"
                                                                         : "QV-4120"},
                       memory, faults);
        transfer.setRadioSettings({.accessCode = "ABCDEFGHIJ", .model = has('m') ? "QV-4120" : ""});
        texts.texts[5] = has('e') ? "" : texts.texts[5];
        port.openFailure = has('u') ? std::optional<std::string>("no such device") : std::nullopt;
        pause.during = [this, abandon = has('A'), lose = has('L')](int milliseconds) {
            if (milliseconds == 3000 && abandon) {
                transfer.abandon();
            } else if (milliseconds == 3000 && lose) {
                port.lost();
            }
        };
        if (has('S')) {
            transfer.startRead("/dev/radio");
        }
        if (write) {
            transfer.startWrite("/dev/radio", [this](CalibrationRecord& image) {
                return textsToImage(texts, fieldRecord, image);
            });
        } else {
            transfer.startRead("/dev/radio");
        }
        run();
        meanwhile();
        for (int ticks = 0; ticks < 30 && timer.running; ++ticks) {
            timer.tick();
            run();
        }
        EXPECT_FALSE(transfer.running());
        for (const Frame& other : kAnswers) {
            port.deliver(other);
        }
        port.lost();
        memory = radio_->memory();
        Lines sent;
        std::ranges::transform(port.written, std::back_inserter(sent), [](const Frame& f) {
            char name[4] = "AC";
            if (f.size() == 4 || f.size() == 22) {
                std::snprintf(name, sizeof name, "%c%02X", f[0], f[2]);
            }
            return f == hex("02") ? "ID" : f == hex("45 4E 44") ? "END" : std::string(name);
        });
        Lines expected;
        std::ranges::transform(script_, std::back_inserter(expected), nameOf);
        EXPECT_EQ(sent, expected);
    }

    // Lets the radio answer the frames sent until the transfer waits for its timer or has ended.
    void run() {
        for (; answered_ < port.written.size(); ++answered_) {
            const char mark = answered_ < script_.size() ? script_[answered_].back() : ' ';
            if (mark == '%' || mark == '&') {
                port.opened = false;
                port.openFailure = mark == '&' ? std::optional<std::string>("gone") : std::nullopt;
            }
            for (const sim::Exchange& exchange : radio_->receive(port.written[answered_])) {
                for (const Frame& other : kAnswers) {
                    // A refusal is an answer to the frames that take an acknowledgement.
                    if (mark == '*' && other[0] != exchange.answer.at(0) &&
                        !(exchange.answer[0] == 0x06 && other[0] == 0x0A)) {
                        port.deliver(other);
                    }
                }
                port.opened = port.opened && !exchange.drop;
                exchange.drop ? port.lost() : port.deliver(exchange.answer);
            }
        }
    }

    Lines journal;
    test::FakeSerialPort port{journal};
    test::FakeAnswerTimer timer;
    test::FakePause pause{journal};
    test::RecordingListener listener{journal};
    test::FakeFieldTexts texts;
    FieldRecord fieldRecord;
    Transfer transfer{port, timer, pause, listener};
    sim::SimulatedRadio::Memory memory{};

private:
    std::optional<sim::SimulatedRadio> radio_;
    Lines script_;
    std::size_t answered_ = 0;
};

class TransferTest : public testing::Test, public Line {};

TEST_F(TransferTest, ReadSendsElevenFramesAndBringsTheRadiosMemory) {
    play("r", "...");

    EXPECT_EQ(port.written,
              (std::vector<Frame>{hex("41 42 43 44 45 46 47 48 49 4A"), hex("02"),
                                  hex("52 60 00 10"), hex("52 60 10 10"), hex("52 60 20 10"),
                                  hex("52 60 30 10"), hex("52 60 40 10"), hex("52 60 50 10"),
                                  hex("52 60 60 10"), hex("52 60 70 10"), hex("45 4E 44")}));
    EXPECT_EQ(listener.memory(), memory);
    EXPECT_EQ(journal,
              (Lines{"open",     "write 3", "pause 10",   "write 16", "QV-4120 01.02", "pause 10",
                     "write 21", "R1/8",    "pause 10",   "write 21", "R2/8",          "pause 10",
                     "write 21", "R3/8",    "pause 10",   "write 21", "R4/8",          "pause 10",
                     "write 21", "R5/8",    "pause 10",   "write 21", "R6/8",          "pause 10",
                     "write 21", "R7/8",    "pause 10",   "write 21", "R8/8",          "pause 10",
                     "write 1",  "close",   "pause 3000", "pause 10", "read completed"}));
}

TEST_F(TransferTest, WriteAfterReadSendsTheFieldsWithTheRadiosReadOnlyBytes) {
    play("r", "...");
    imageToTexts(listener.image, fieldRecord, texts);
    memory[14] = 0x77;                 // read-only, changed in the radio since the read
    memory[40] = 0x55;                 // read-only
    memory[108] = memory[120] = 0x99;  // no field's: the write sends what the read found
    auto expected = memory;
    expected[0] = 0xE1;  // 4321
    expected[1] = 0x10;
    expected[108] = 111;
    expected[120] = 123;

    // Edited before the fields are gathered, while the last read waits: it goes to the radio.
    play("W", "AC ID R00 R10 R20 R30 R70? R70 ...", [&] { texts.texts[0] = "4321"; });

    EXPECT_EQ(memory, expected);
    EXPECT_EQ(listener.outcomes, (Lines{"read completed", "write completed"}));
    // Six reads and nine frames answered by one byte; a pause for each answer, and one more as
    // the fields are gathered.
    const auto count = [&](const char* entry) { return std::ranges::count(journal, entry); };
    EXPECT_EQ((std::array{count("write 21"), count("write 1"), count("pause 10")}),
              (std::array<std::ptrdiff_t, 3>{8 + 6, 1 + 9, 11 + 17}));
}

// Flags, frames and the one outcome (none when abandoned).
const char* const kScripts[][3] = {
    {"r", "AC* ID? AC R00* R10~ R10 R20? R20? R20? R20 R30% R30 ... END? END! END",
     "read completed"},
    {"wx",
     "AC* ID* R00~ R00 ... R60? R60 R70* W00! W00? W00 W10* ... W70! W70! W70! W70 END? END! "
     "END? END",
     "write completed"},
    {"r", "AC? AC? AC? AC?", "NoAnswer"},
    {"r", "AC# AC# AC# AC ...", "read completed"},
    {"r", "AC# AC# AC# AC#", "NoAnswer"},
    {"r", "... R20? R20? R20? R20?", "NoAnswer"},
    {"w", "AC ID? AC R00 ...", "write completed"},
    {"w", "... R60? R60? R60? R60?", "NoAnswer"},
    {"w", "... W10! W10? W10! W10?", "NoAnswer"},
    {"w", "... END? END? END? END?", "NoAnswer"},
    {"r", "... END! END? END! END?", "NoAnswer"},
    {"rm", "AC ID? AC ID ...", "read completed"},
    {"rm", "AC ID? AC ID? AC ID? AC ID?", "NoAnswer"},
    {"wmx", "AC ID", "WrongModel QV-9999"},
    {"rmx", "AC ID? AC ID", "WrongModel QV-9999"},
    {"rmp", "AC ID", "WrongModel QV-412"},
    {"we", "... R70 END", "InvalidField 5"},
    {"we", "... R70 END? END? END? END?", "InvalidField 5"},
    {"r", "... R10^", "PortLost"},
    {"r", "AC ID R00&", "ReopenFailed gone"},
    {"ru", "", "PortUnavailable no such device"},
    {"wS", "AC? AC ...", "write completed"},
    {"rL", "...", "read completed"},
    {"rA", "...", ""},
};

TEST(Transfer, ScriptsRunToTheirOutcome) {
    for (const auto& [flags, frames, outcome] : kScripts) {
        SCOPED_TRACE(std::string(flags) + ": " + frames);
        Line line;
        line.play(flags, frames);
        EXPECT_EQ(line.listener.outcomes, *outcome == 0 ? Lines{} : Lines{outcome});
        if (std::string(outcome) == "read completed") {
            EXPECT_EQ(line.listener.memory(), line.memory);
        } else if (std::string(outcome) == "write completed") {
            EXPECT_EQ(Frame(line.memory.begin(), line.memory.end()), test::kSevensOverEe);
        }
    }
}

}  // namespace
}  // namespace qv
