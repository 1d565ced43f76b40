#include "link/Transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <numeric>
#include <optional>
#include <sstream>

#include "SimulatedRadio.h"
#include "tests/support/FakeFieldTexts.h"
#include "tests/support/Hex.h"

namespace qv {
namespace {

using test::hex;
using Lines = std::vector<std::string>;

// The marks of what the radio does to a frame (see Line::play), and the fault each stands for.
constexpr std::string_view kMarks = "?&~!";
constexpr std::array kMarkFaults{sim::Fault::Kind::Silence, sim::Fault::Kind::Silence,
                                 sim::Fault::Kind::Delay, sim::Fault::Kind::Refusal};
Lines words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), {}};
}

std::string nameOf(const std::string& word) {
    return word.substr(0, word.find_first_of(kMarks));
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
// stopped. The bytes, the faults of the line and what comes after the end are the fault matrix's.
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
    void setHandlers(ReceivedHandler received, LostHandler /*lost*/) override {
        deliver = std::move(received);
    }
    void start() override { timing = true; }
    void stop() override { timing = false; }
    void setTickHandler(std::function<void()> handler) override { tick = std::move(handler); }
    // A pause long enough for events lets the answers still on the way arrive meanwhile.
    void sleep(int milliseconds) override {
        pauses.push_back(milliseconds);
        if (milliseconds >= kEventsFromMs) {
            arriveLate();
        }
    }
    void onBlockStarted(TransferKind, int, int) override {}
    void onIdentified(const Identification&) override {}
    void onReadCompleted(const CalibrationRecord&) override { outcome("read completed"); }
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
    // silence, '&' silence with the port closed meanwhile and not to be opened again, '~' its
    // answer held back until the next frame, '!' a refusal.
    // "..." stands for the frames between when all goes well. The faults of the line itself are
    // the fault matrix's. Flags: 'W' a write, 'm' the model QV-4120 is checked, 'x' the radio is
    // a QV-412, 'e' field 5 is empty, 'b' the backup cannot be kept.
    void play(const std::string& flags, const std::string& script) {
        const auto has = [&](char flag) { return flags.find(flag) != std::string::npos; };
        const bool writing = has('W');
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
                if (const auto mark = kMarks.find(frame.back()); mark != std::string_view::npos) {
                    faults.push_back({kMarkFaults.at(mark), number, number});
                }
            }
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
                [full = has('b')](const CalibrationRecord&, const Identification&) {
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
        EXPECT_EQ(sent, toSend);
    }

    // Lets the radio answer the frames sent until the transfer waits for its timer or has ended.
    void run() {
        while (sent.size() < written.size()) {
            const char mark = sent.size() < marks.size() ? marks[sent.size()] : ' ';
            const Frame& frame = written[sent.size()];
            sent.push_back(frameName(frame));
            opened = opened && mark != '&';
            if (mark == '&') {
                openFailure = "gone";
            }
            // What comes beyond the length awaited (a late answer's second) arrives once the
            // next frame went out, unless a pause came first.
            const auto awaited = static_cast<std::ptrdiff_t>(thresholds[sent.size() - 1]);
            for (const sim::Exchange& exchange : radio->receive(frame)) {
                const Frame& answer = exchange.answer;
                if (std::ssize(answer) > awaited) {
                    late.emplace_back(answer.begin() + awaited, answer.end());
                }
                deliver(
                    Frame(answer.begin(), answer.begin() + std::min(awaited, std::ssize(answer))));
            }
            if (sent.size() < written.size()) {
                arriveLate();
            }
        }
    }

    void arriveLate() {
        for (const Frame& answer : std::exchange(late, {})) {
            deliver(answer);
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
    std::vector<Frame> late;
    bool timing = false;
    std::function<void()> tick;
    Lines outcomes;
    test::FakeFieldTexts fields;
    FieldRecord fieldRecord;
    sim::SimulatedRadio::Memory memory{};  // the radio's
    std::optional<sim::SimulatedRadio> radio;
    Lines toSend;
    std::string marks;  // of each frame expected
    Lines sent;
    Transfer transfer{*this, *this, *this, *this};
};

// Each frame armed for the length of its answer; a pause after each answer, and a long one once
// END is answered.
TEST(Transfer, ReadArmsEachAnswerAndPauses) {
    Line line;
    line.play("r", "...");
    EXPECT_EQ(line.thresholds, (std::vector{3, 16, 21, 21, 21, 21, 21, 21, 21, 21, 1}));
    EXPECT_EQ(line.pauses, (std::vector{10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 3000, 10}));
}

// An END the port refused is not confirmed by an acknowledgement that comes anyway.
TEST(Transfer, OnlyAFrameThatWentOutIsAnswered) {
    Line line;
    line.radio.emplace(sim::SimulatedRadio::Identity{.accessCode = "ABCDEFGHIJ"}, line.memory,
                       std::vector<sim::Fault>{});
    line.transfer.setRadioSettings({.accessCode = "ABCDEFGHIJ", .model = ""});
    const auto answer = [&](std::size_t frame) {
        for (const sim::Exchange& exchange : line.radio->receive(line.written.at(frame))) {
            line.deliver(exchange.answer);
        }
    };
    line.transfer.startIdentify("/dev/radio");
    answer(0);
    line.refuseWrites = true;
    answer(1);
    line.deliver(hex("06"));
    EXPECT_TRUE(line.transfer.running());
    line.refuseWrites = false;
    line.tick();
    line.deliver(hex("06"));
    EXPECT_FALSE(line.transfer.running());
    Lines sent;
    std::ranges::transform(line.written, std::back_inserter(sent), frameName);
    EXPECT_EQ(sent, (Lines{"AC", "ID", "END", "END"}));
}

// Flags, frames and the one outcome.
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
};

TEST(Transfer, ScriptsRunToTheirOutcome) {
    for (const auto& [flags, frames, outcome] : kScripts) {
        SCOPED_TRACE(std::string(flags) + ": " + frames);
        Line line;
        line.play(flags, frames);
        EXPECT_EQ(line.outcomes, Lines{outcome});
    }
}

}  // namespace
}  // namespace qv
