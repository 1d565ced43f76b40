#pragma once

#include <algorithm>
#include <array>
#include <chrono>
#include <iterator>
#include <numeric>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "SimulatedRadio.h"
#include "link/Transfer.h"
#include "tests/support/FakeFieldTexts.h"
#include "tests/support/FakeRestRecord.h"
#include "tests/support/FakeStepTimer.h"
#include "tests/support/Hex.h"

namespace qv::test {

using Lines = std::vector<std::string>;

// The marks of what the radio does to a frame (see TransferLine::play), and the fault each
// but the last stands for.
constexpr std::string_view kMarks = "?&~!%#";
constexpr std::array kMarkFaults{sim::Fault::Kind::Silence, sim::Fault::Kind::Silence,
                                 sim::Fault::Kind::Delay, sim::Fault::Kind::Refusal,
                                 sim::Fault::Kind::Noise};

inline Lines words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), {}};
}

inline std::string nameOf(const std::string& word) {
    return word.substr(0, word.find_first_of(kMarks));
}

// The name of a frame sent, as the scripts write it.
inline std::string frameName(const Frame& f) {
    if (f.size() == 4 || f.size() == 22) {
        return static_cast<char>(f[0]) + std::to_string(f[2] / 16) + std::to_string(f[2] % 16);
    }
    return f == hex("02") ? "ID" : f == hex("45 4E 44") ? "END" : "AC";
}

// A transfer on a line to the simulated radio. The line is the transfer's port, answer timer
// and listener, with a step timer and a rest record of its own or of another line's machine,
// and the field texts it writes. It keeps what it is asked: the frames written, each with the
// receive threshold armed for it, and a timeline of frames, rests and outcomes ("read
// completed", "WrongModel QV-412", "Resting 2", "over") on the step timer's clock. Every outcome
// must find the port closed and the answer timer stopped. The bytes, the faults of the line and
// what comes after the end are the fault matrix's.
struct TransferLine : SerialPort, AnswerTimer, TransferListener {
    using Clock = StepTimer::Clock;
    using Timed = std::pair<Clock::time_point, std::string>;

    // With a machine given, another process on it: its rests and its time.
    explicit TransferLine(TransferLine* machine = nullptr)
        : record(machine != nullptr ? machine->record : &rests) {
        std::iota(memory.begin(), memory.end(), 3);
        fields.texts.fill("7");
        steps.time = machine != nullptr ? machine->steps.time : steps.time;
    }

    void setDevice(const std::string&) override {}
    std::optional<std::string> open() override {
        opened = !openFailure;
        return openFailure;
    }
    void close() override { opened = false; }
    bool checkedEveryHolder() const override { return true; }
    bool isOpen() const override { return opened; }
    void clearBuffers() override {}
    void setReceiveThreshold(int bytes) override { threshold = bytes; }
    bool write(const Frame& frame) override {
        const bool refused = written.size() < marks.size() && marks[written.size()] == '#';
        written.push_back(frame);
        thresholds.push_back(threshold);
        note(frameName(frame));
        return opened && !refused;
    }
    void setHandlers(ReceivedHandler received, LostHandler /*lost*/) override {
        deliver = std::move(received);
    }
    void start() override { timing = true; }
    void stop() override { timing = false; }
    void setTickHandler(std::function<void()> handler) override { tick = std::move(handler); }
    void onBlockStarted(TransferKind, int, int) override {}
    void onIdentified(const Identification&) override {}
    void onReadCompleted(const CalibrationRecord&) override { outcome("read completed"); }
    void onWriteCompleted() override { outcome("write completed"); }
    void onIdentifyCompleted(const Identification&) override { outcome("identified"); }
    void onFailed(const TransferFailure& failure) override {
        constexpr std::array kNames{"PortUnavailable", "NoAnswer",      "ReopenFailed",
                                    "PortLost",        "WrongModel",    "InvalidField",
                                    "BackupFailed",    "AnswersDiffer", "NotKept"};
        const std::string detail =
            failure.reason + failure.radio.model +
            (failure.field ? std::to_string(failure.field->field) : "") +
            (failure.block != 0 ? "block " + std::to_string(failure.block / 16 % 16) : "");
        outcome(kNames.at(static_cast<std::size_t>(failure.kind)) +
                (detail.empty() ? "" : " " + detail));
    }
    void onResting(RestKind kind, int secondsLeft) override {
        note((kind == RestKind::Storing ? "Storing " : "Resting ") + std::to_string(secondsLeft));
    }
    void onRestOver() override { note("over"); }

    // Runs a transfer to its outcome, letting the answer timer expire whenever it waits and each
    // step end when it is due. The script names the frames it must send (AC, ID, R00..R70 for
    // read requests, W00..W70 for write blocks, END), each marked with what happens to it:
    // nothing (the radio answers), '?' silence, '&' silence with the port closed meanwhile and
    // not to be opened again, '~' its answer held back until the next frame, '!' a refusal, '%'
    // a data byte of its answer changed, '#' the port refuses to send it (the radio answers it
    // all the same). "..." stands for the frames between when all goes well; a write's frames
    // go on with its read-back's (AC ID R00..R70 END once more) unless flag 'n' leaves it out.
    // Flags: 'W' a write, 'i' an identification, 'm' the model QV-4120 is checked, 'x' the
    // radio is a QV-412, 'e' field 5 is empty, 'b' the backup cannot be kept, 'u' the radio's
    // answers carry no checksum, 'w' a wrong one, 'f' the radio forgets what it is written.
    void play(const std::string& flags, const std::string& script) {
        begin(flags, script);
        for (int events = 0; events < 300 && transfer.running(); ++events) {
            next();
        }
        EXPECT_FALSE(transfer.running());
        EXPECT_EQ(sent, toSend);
    }

    // Starts the transfer of play and lets the radio answer until it waits for a timer.
    void begin(const std::string& flags, const std::string& script) {
        const auto has = [&](char flag) { return flags.find(flag) != std::string::npos; };
        const bool writing = has('W');
        const std::string reads = has('i') ? "" : " R00 R10 R20 R30 R40 R50 R60 R70";
        const bool readBack = writing && !has('n');
        const Lines all =
            words("AC ID" + reads + (writing ? " W00 W10 W20 W30 W40 W50 W60 W70" : "") + " END" +
                  (readBack ? " AC ID" + reads + " END" : ""));
        const Lines given = words(script);
        std::vector<sim::Fault> faults;
        // `at`: where the transfer stands among the frames of one that goes well. A frame named
        // again since the last END is sent again.
        auto at = all.begin();
        const auto moveTo = [&](const std::string& name) {
            const auto session =
                std::find(std::make_reverse_iterator(at), all.rend(), "END").base();
            if (std::find(session, at, name) == at) {
                const auto found = std::find(at, all.end(), name);
                at = found == all.end() ? found : found + 1;
            }
        };
        for (std::size_t i = 0, first = marks.size(); i < given.size(); ++i) {
            Lines frames{given[i]};
            if (given[i] == "...") {
                const auto to = i + 1 < given.size()
                                    ? std::find(at, all.end(), nameOf(given[i + 1]))
                                    : all.end();
                frames.assign(at, to);
                at = to;
            } else if (at == all.begin() || *(at - 1) != nameOf(given[i])) {
                moveTo(nameOf(given[i]));
            }
            for (const std::string& frame : frames) {
                toSend.push_back(nameOf(frame));
                marks.push_back(frame.back());
                const int number = static_cast<int>(marks.size() - first);
                if (const auto mark = kMarks.find(frame.back()); mark < kMarkFaults.size()) {
                    faults.push_back({kMarkFaults.at(mark), number, number});
                }
            }
        }
        radio.emplace(sim::SimulatedRadio::Identity{.accessCode = "ABCDEFGHIJ",
                                                    .model = has('x') ? "QV-412" : "QV-4120"},
                      memory, faults, quirks(has('u'), has('w'), has('f')));
        transfer.setRadioSettings({.accessCode = "ABCDEFGHIJ", .model = has('m') ? "QV-4120" : ""});
        fields.texts[5] = has('e') ? "" : fields.texts[5];
        if (writing) {
            transfer.startWrite(
                "/dev/radio",
                [this](CalibrationRecord& into) { return textsToImage(fields, fieldRecord, into); },
                [full = has('b')](const CalibrationRecord&, const Identification&) {
                    return full ? std::optional<std::string>("no room") : std::nullopt;
                },
                readBack ? Transfer::ReadBack::Yes : Transfer::ReadBack::No);
        } else {
            has('i') ? transfer.startIdentify("/dev/radio") : transfer.startRead("/dev/radio");
        }
        run();
    }

    static sim::Quirks quirks(bool noChecksum, bool wrongChecksum, bool forget) {
        sim::Quirks quirks;
        quirks.answerChecksum = noChecksum      ? sim::AnswerChecksum::None
                                : wrongChecksum ? sim::AnswerChecksum::Wrong
                                                : sim::AnswerChecksum::Right;
        quirks.forget = forget;
        return quirks;
    }

    // Ends the pending step, or else lets the answer timer expire; then lets the radio answer.
    // Answers still on the way arrive during a step as long as an answer window, not a shorter.
    void next() {
        if (steps.pending()) {
            if (steps.scheduled.back() >= AnswerTimer::kIntervalMs) {
                arriveLate();
            }
            steps.fire();
        } else if (timing) {
            tick();
        }
        run();
    }

    // Lets the radio answer the frames sent until the transfer waits for a timer or has ended.
    void run() {
        while (sent.size() < written.size()) {
            // What came beyond the length awaited (a late answer's second) arrives once the next
            // frame went out, before that frame's answer, unless a long step came first.
            arriveLate();
            const char mark = sent.size() < marks.size() ? marks[sent.size()] : ' ';
            const Frame& frame = written[sent.size()];
            sent.push_back(frameName(frame));
            if (mark == '&') {
                opened = false;
                openFailure = "gone";
            }
            const auto awaited = static_cast<std::ptrdiff_t>(thresholds[sent.size() - 1]);
            for (const sim::Exchange& exchange : radio->receive(frame)) {
                const Frame& answer = exchange.answer;
                if (std::ssize(answer) > awaited) {
                    late.emplace_back(answer.begin() + awaited, answer.end());
                }
                deliver(
                    Frame(answer.begin(), answer.begin() + std::min(awaited, std::ssize(answer))));
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
        note(name);
    }

    void note(const std::string& what) { timeline.emplace_back(steps.time, what); }

    // The timeline from entry `first` on, each entry with the milliseconds since `from`.
    Lines timelineSince(std::size_t first, Clock::time_point from) const {
        Lines lines;
        for (std::size_t k = first; k < timeline.size(); ++k) {
            const auto ms =
                std::chrono::duration_cast<std::chrono::milliseconds>(timeline[k].first - from);
            lines.push_back(std::to_string(ms.count()) + " " + timeline[k].second);
        }
        return lines;
    }

    FakeRestRecord rests;
    RestRecord* record;  // this line's rests, or those of its machine
    FakeStepTimer steps;
    bool opened = false;
    std::optional<std::string> openFailure;
    int threshold = 0;
    std::vector<Frame> written;
    std::vector<int> thresholds;
    ReceivedHandler deliver;
    std::vector<Frame> late;
    bool timing = false;
    std::function<void()> tick;
    Lines outcomes;
    std::vector<Timed> timeline;
    FakeFieldTexts fields;
    FieldRecord fieldRecord;
    sim::SimulatedRadio::Memory memory{};  // the radio's
    std::optional<sim::SimulatedRadio> radio;
    Lines toSend;
    std::string marks;  // of each frame expected
    Lines sent;
    Transfer transfer{*this, *this, steps, *record, *this};
};

}  // namespace qv::test
