#include "link/Transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <map>
#include <numeric>
#include <optional>
#include <sstream>

#include "SimulatedRadio.h"
#include "record/FieldCatalogue.h"
#include "tests/support/FakeFieldTexts.h"
#include "tests/support/Hex.h"

namespace qv {
namespace {

using test::hex;
using Lines = std::vector<std::string>;
using Kind = sim::Fault::Kind;

const std::map<char, Kind> kFaults{{'?', Kind::Silence},      {'!', Kind::Refusal},
                                   {'~', Kind::OtherAddress}, {'^', Kind::Drop},
                                   {'%', Kind::Silence},      {'&', Kind::Silence}};
// One answer of each kind; the block answer is for 0x6020, which a failed read may wait for.
const std::vector<Frame> kAnswers{
    hex("4B 56 06"), hex("06"), hex("0A"), hex("49 51 56 00 00 00 00 00 00 30 31 30 32 00 00 00"),
    hex("57 60 20 10 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 00")};
// A radio's memory, all 0xEE before, once a write of field texts all "7" with no read before
// it has gone in: every member a field holds is 7, every other byte the radio's own.
const Frame kSevensOverEe =
    hex("07 00 07 00 07 00 07 00 07 00 07 07 07 07 EE EE "
        "07 07 07 07 07 07 07 EE EE 07 07 00 07 00 07 00 "
        "07 00 07 07 EE EE EE EE EE EE EE EE EE EE EE EE "
        "EE EE EE EE EE EE EE EE EE EE EE EE 07 00 07 00 "
        "07 00 07 00 07 00 07 00 07 00 07 07 07 00 07 00 "
        "07 00 07 00 07 00 07 00 07 00 07 00 07 00 07 00 "
        "07 00 07 00 07 00 07 00 07 00 07 00 EE EE EE EE "
        "EE EE 07 00 07 00 EE EE EE EE EE EE EE EE EE EE");

Lines words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), {}};
}

std::string nameOf(const std::string& word) {
    return word.substr(0, word.find_first_of("?!~^%&*"));
}

// The name of a frame sent, as the scripts write it.
std::string frameName(const Frame& f) {
    if (f.size() == 4 || f.size() == 22) {
        return static_cast<char>(f[0]) + std::to_string(f[2] / 16) + std::to_string(f[2] % 16);
    }
    return f == hex("02") ? "ID" : f == hex("45 4E 44") ? "END" : "AC";
}

// A transfer on a line to the simulated radio. The line is the transfer's port, answer timer,
// pause and listener, and the field texts it writes; it keeps what it is asked: the frames
// written, each with the receive threshold armed for it, the pauses, and the outcomes ("read
// completed", "WrongModel QV-412"). Every outcome must find the port closed and the timer
// stopped, a completed read the radio's memory (which then shows in the texts), and nothing
// moves the transfer once it has ended.
struct Line : SerialPort, AnswerTimer, Pause, TransferListener {
    Line() {
        std::iota(memory.begin(), memory.end(), 3);
        fields.texts.fill("7");
    }

    void setDevice(const std::string&) override {}
    std::optional<std::string> open() override {
        opened = !openFailure;
        return openFailure;
    }
    void close() override { opened = false; }
    bool isOpen() const override { return opened; }
    void clearBuffers() override {}
    void setReceiveThreshold(int bytes) override { threshold = bytes; }
    bool write(const Frame& frame) override {
        written.push_back(frame);
        thresholds.push_back(threshold);
        return opened && !refuseWrites;
    }
    void setHandlers(ReceivedHandler received, LostHandler gone) override {
        deliver = std::move(received);
        lost = std::move(gone);
    }
    void start() override { timing = true; }
    void stop() override { timing = false; }
    void setTickHandler(std::function<void()> handler) override { tick = std::move(handler); }
    void sleep(int milliseconds) override { pauses.push_back(milliseconds); }
    void onBlockStarted(TransferKind, int, int) override {}
    void onIdentified(const Identification&) override {}
    void onReadCompleted(const CalibrationRecord& read) override {
        imageToTexts(read, fieldRecord, fields);
        sim::SimulatedRadio::Memory bytes{};
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = read.byte(i);
        }
        EXPECT_EQ(bytes, radio->memory());
        outcome("read completed");
    }
    void onWriteCompleted() override { outcome("write completed"); }
    void onFailed(const TransferFailure& failure) override {
        constexpr std::array kNames{"PortUnavailable", "NoAnswer",     "ReopenFailed", "PortLost",
                                    "WrongModel",      "InvalidField", "BackupFailed"};
        const std::string detail = failure.reason + failure.radio.model +
                                   (failure.field ? std::to_string(failure.field->field) : "");
        outcome(kNames.at(static_cast<std::size_t>(failure.kind)) +
                (detail.empty() ? "" : " " + detail));
    }

    // Runs a transfer to its end, letting the answer timer expire whenever it waits. The script
    // names the frames it must send (AC, ID, R00..R70 for read requests, W00..W70 for write
    // blocks, END), each marked with what happens to it: nothing (the radio answers), '?'
    // silence, '!' a refusal, '~' the answer for another block, '^' the line drops, '%' silence
    // with the port closed meanwhile, '&' which cannot be opened again, '*' every other kind of
    // answer before the right one. "..." stands for the frames between when all goes well.
    // Flags: 'W' a write, 'w' one to a radio whose memory is all 0xEE, 'm' the model QV-4120 is
    // checked, 'x' the radio is a QV-412, 'e' field 5 is empty, 'b' the backup cannot be kept.
    void play(const std::string& flags, const std::string& script) {
        const auto has = [&](char flag) { return flags.find(flag) != std::string::npos; };
        const bool writing = has('w') || has('W');
        const Lines all = words(writing ? "AC ID R00 R10 R20 R30 R40 R50 R60 R70 W00 W10 W20 W30 "
                                          "W40 W50 W60 W70 END"
                                        : "AC ID R00 R10 R20 R30 R40 R50 R60 R70 END");
        const Lines given = words(script);
        std::vector<sim::Fault> faults;
        for (std::size_t i = 0, first = marks.size(); i < given.size(); ++i) {
            const auto from =
                i == 0 ? all.begin() : std::ranges::find(all, nameOf(given[i - 1])) + 1;
            const auto to =
                i + 1 < given.size() ? std::ranges::find(all, nameOf(given[i + 1])) : all.end();
            for (const std::string& frame : given[i] == "..." ? Lines(from, to) : Lines{given[i]}) {
                toSend.push_back(nameOf(frame));
                marks.push_back(frame.back());
                const int number = static_cast<int>(marks.size() - first);
                if (kFaults.contains(frame.back())) {
                    faults.push_back({kFaults.at(frame.back()), number, number});
                }
            }
        }
        if (has('w')) {
            memory.fill(0xEE);
        }
        radio.emplace(sim::SimulatedRadio::Identity{.accessCode = "ABCDEFGHIJ",
                                                    .model = has('x') ? "QV-412" : "QV-4120"},
                      memory, faults);
        transfer.setRadioSettings({.accessCode = "ABCDEFGHIJ", .model = has('m') ? "QV-4120" : ""});
        fields.texts[5] = has('e') ? "" : fields.texts[5];
        if (writing) {
            transfer.startWrite(
                "/dev/radio",
                [this](CalibrationRecord& into) { return textsToImage(fields, fieldRecord, into); },
                [this, full = has('b')](const CalibrationRecord& kept, const Identification&) {
                    for (std::size_t i = 0; i < backup.size(); ++i) {
                        backup[i] = kept.byte(i);
                    }
                    return full ? std::optional<std::string>("no room") : std::nullopt;
                });
        } else {
            transfer.startRead("/dev/radio");
        }
        run();
        for (int ticks = 0; ticks < 30 && timing; ++ticks) {
            tick();
            run();
        }
        EXPECT_FALSE(transfer.running());
        for (const Frame& other : kAnswers) {
            deliver(other);
        }
        lost();
        memory = radio->memory();
        EXPECT_EQ(sent, toSend);
    }

    // Lets the radio answer the frames sent until the transfer waits for its timer or has ended.
    void run() {
        while (sent.size() < written.size()) {
            const char mark = sent.size() < marks.size() ? marks[sent.size()] : ' ';
            const Frame& frame = written[sent.size()];
            sent.push_back(frameName(frame));
            opened = opened && mark != '%' && mark != '&';
            if (mark == '&') {
                openFailure = "gone";
            }
            for (const sim::Exchange& exchange : radio->receive(frame)) {
                for (const Frame& other : kAnswers) {
                    // A refusal is an answer to the frames that take an acknowledgement.
                    if (mark == '*' && other[0] != exchange.answer.at(0) &&
                        !(exchange.answer[0] == 0x06 && other[0] == 0x0A)) {
                        deliver(other);
                    }
                }
                opened = opened && !exchange.drop;
                exchange.drop ? lost() : deliver(exchange.answer);
            }
        }
    }

    void outcome(const std::string& name) {
        EXPECT_FALSE(opened || timing);
        outcomes.push_back(name);
    }

    bool opened = false;
    bool refuseWrites = false;
    std::optional<std::string> openFailure;
    int threshold = 0;
    std::vector<Frame> written;
    std::vector<int> thresholds;
    std::vector<int> pauses;
    ReceivedHandler deliver;
    LostHandler lost;
    bool timing = false;
    std::function<void()> tick;
    Lines outcomes;
    test::FakeFieldTexts fields;
    FieldRecord fieldRecord;
    sim::SimulatedRadio::Memory memory{};  // the radio's, before and after a transfer
    sim::SimulatedRadio::Memory backup{};  // what a write kept before its first block
    std::optional<sim::SimulatedRadio> radio;
    Lines toSend;
    std::string marks;  // of each frame expected
    Lines sent;
    Transfer transfer{*this, *this, *this, *this};
};

class TransferTest : public testing::Test, public Line {};

TEST_F(TransferTest, ReadSendsElevenFramesAndBringsTheRadiosMemory) {
    play("r", "...");

    EXPECT_EQ(written,
              (std::vector<Frame>{hex("41 42 43 44 45 46 47 48 49 4A"), hex("02"),
                                  hex("52 60 00 10"), hex("52 60 10 10"), hex("52 60 20 10"),
                                  hex("52 60 30 10"), hex("52 60 40 10"), hex("52 60 50 10"),
                                  hex("52 60 60 10"), hex("52 60 70 10"), hex("45 4E 44")}));
    EXPECT_EQ(thresholds, (std::vector{3, 16, 21, 21, 21, 21, 21, 21, 21, 21, 1}));
    // After each answer, and a long one once END is answered.
    EXPECT_EQ(pauses, (std::vector{10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 3000, 10}));
}

// A write reads the whole radio again and keeps it before its first block: every byte no
// editable field holds goes back as the radio holds it now, not as an earlier read found it.
TEST_F(TransferTest, WriteKeepsTheRadioThenSendsTheFieldsOverItsOwnBytes) {
    play("r", "...");
    memory[14] = 0x77;                 // read-only, changed in the radio since the read
    memory[108] = memory[120] = 0x99;  // no field's
    const auto before = memory;
    auto expected = memory;
    expected[0] = 0xE1;  // 4321
    expected[1] = 0x10;

    fields.texts[0] = "4321";
    play("W", "AC ID R00 R10 R20 R30 R40 R50 R60 R70? R70 ...");

    EXPECT_EQ(backup, before);
    EXPECT_EQ(memory, expected);
    EXPECT_EQ(outcomes, (Lines{"read completed", "write completed"}));
}

// An END the port refused is not confirmed by an acknowledgement that comes anyway.
TEST_F(TransferTest, OnlyAFrameThatWentOutIsAnswered) {
    transfer.startIdentify("/dev/radio");
    deliver(hex("4B 56 06"));
    refuseWrites = true;
    deliver(kAnswers[3]);
    deliver(hex("06"));
    EXPECT_TRUE(transfer.running());
    refuseWrites = false;
    tick();
    deliver(hex("06"));
    EXPECT_FALSE(transfer.running());
    EXPECT_EQ(written, (std::vector{accessCodeFrame(kDefaultAccessCode), hex("02"), hex("45 4E 44"),
                                    hex("45 4E 44")}));
}

// Flags, frames and the one outcome.
const char* const kScripts[][3] = {
    {"r", "AC* ID? AC R00* R10~ R10 R20? R20? R20? R20 R30% R30 ... END? END! END",
     "read completed"},
    {"wx",
     "AC* ID* R00~ R00 ... R60? R60 R70* W00! W00? W00 W10* ... W70! W70! W70! W70 END? END! "
     "END? END",
     "write completed"},
    {"r", "AC? AC? AC? AC?", "NoAnswer"},
    {"r", "... R20? R20? R20? R20?", "NoAnswer"},
    {"w", "AC ID? AC R00 ...", "write completed"},
    {"w", "... W10! W10? W10! W10?", "NoAnswer"},
    {"r", "... END! END? END! END?", "NoAnswer"},
    {"rm", "AC ID? AC ID ...", "read completed"},
    {"rm", "AC ID? AC ID? AC ID? AC ID?", "NoAnswer"},
    {"wmx", "AC ID", "WrongModel QV-412"},
    {"we", "... R70 END", "InvalidField 5"},
    {"we", "... R70 END? END? END? END?", "InvalidField 5"},
    {"wb", "... R70 END", "BackupFailed no room"},
    {"r", "... R10^", "PortLost"},
    {"r", "AC ID R00&", "ReopenFailed gone"},
};

TEST(Transfer, ScriptsRunToTheirOutcome) {
    for (const auto& [flags, frames, outcome] : kScripts) {
        SCOPED_TRACE(std::string(flags) + ": " + frames);
        Line line;
        line.play(flags, frames);
        EXPECT_EQ(line.outcomes, Lines{outcome});
        if (std::string(outcome) == "write completed") {
            EXPECT_EQ(Frame(line.memory.begin(), line.memory.end()), kSevensOverEe);
        }
    }
}

}  // namespace
}  // namespace qv
