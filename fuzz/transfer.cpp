// The transfer engine driven by a radio that answers anything: the input decides every answer,
// silence, refusal, lost or closed port, failing open or write, when each step ends, the rests
// other processes record (believable or not), and the transfers started, replaced and
// abandoned, also from inside an outcome and during a rest. The radio's honest answers come from
// a memory that differs from run to run, so a completed transfer can be judged against it.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "link/Transfer.h"
#include "record/FieldCatalogue.h"

namespace qv::fuzz {
namespace {

constexpr std::string_view kModel = "QV-4120";
constexpr int kBlocks = 8;
constexpr std::uint8_t kBeyondMemory = 0xA5;
constexpr int kMostNesting = 3;
constexpr auto kRest = std::chrono::milliseconds(3000);

enum class Op {
    Tick,
    Ack,
    Refusal,
    AccessAck,
    Identification,
    RequestedBlock,
    AnyBlock,
    RawBytes,
    PortLost,
    PortClosed,
    OpenFails,
    WriteRefused,
    Start,
    Abandon,
    EditText,
    BackupFails,
    StepEnds,
    RestRecorded,
    kMaxValue = RestRecorded
};

// What one started transfer has done, as far as the radio and the listener can see it.
struct Run {
    TransferKind kind = TransferKind::Read;
    RadioSettings settings;
    std::array<std::uint8_t, CalibrationRecord::kMemorySize> memory{};
    bool live = false;  // started, and neither ended with an outcome nor abandoned
    // False once a block answer with data the radio does not hold has come in.
    bool judgeable = true;
    std::uint16_t requested = CalibrationRecord::kBaseAddress;
    std::optional<Identification> identified;
    bool gathered = false;
    std::optional<GatherError> gatherError;
    bool backupFailed = false;
    int backups = 0;
    CalibrationRecord expected;  // the memory with the fields in, as a write must send it
    unsigned blocksWritten = 0;  // one bit a block
    Frame lastSent;
    Transfer::ReadBack readBack = Transfer::ReadBack::Yes;
    // The radio acknowledged a whole write's END, and stores what it took until storedUntil.
    bool stored = false;
    StepTimer::Clock::time_point storedUntil;
};

class Radio final : SerialPort, AnswerTimer, StepTimer, RestRecord, TransferListener {
public:
    explicit Radio(FuzzedDataProvider& input) : input_(input) { fields_.texts.fill("7"); }

    void play() {
        startTransfer();
        while (input_.remaining_bytes() > 0) {
            perform(input_.ConsumeEnum<Op>());
            checkBetweenEvents();
        }
        // A silent radio ends every transfer.
        for (int event = 0; transfer_.running() && event < 1000; ++event) {
            perform(due_ ? Op::StepEnds : Op::Tick);
            checkBetweenEvents();
        }
        check(!transfer_.running(), "a silent radio ends the transfer");
    }

private:
    // SerialPort
    void setDevice(const std::string&) override {}
    std::optional<std::string> open() override {
        open_ = !openFails_;
        openFails_ = false;
        return open_ ? std::nullopt : std::optional<std::string>("busy");
    }
    void close() override { open_ = false; }
    bool checkedEveryHolder() const override { return true; }
    bool isOpen() const override { return open_; }
    void clearBuffers() override {}
    void setReceiveThreshold(int) override {}
    bool write(const Frame& frame) override {
        check(run_.live, "nothing is sent once the transfer has ended");
        check(now_ >= restsUntil_, "nothing is sent while the radio rests");
        if (!open_ || writeRefused_) {
            writeRefused_ = false;
            return false;
        }
        received(frame);
        return true;
    }
    void setHandlers(ReceivedHandler handler, LostHandler lost) override {
        deliver_ = std::move(handler);
        lost_ = std::move(lost);
    }

    // AnswerTimer
    void start() override { timing_ = true; }
    void stop() override { timing_ = false; }
    void setTickHandler(std::function<void()> tick) override { tick_ = std::move(tick); }

    // StepTimer
    void schedule(int milliseconds) override {
        check(milliseconds > 0 && milliseconds <= 1000, "a step lasts at most a second");
        due_ = now_ + std::chrono::milliseconds(milliseconds);
    }
    void cancel() override { due_.reset(); }
    void setDueHandler(std::function<void()> due) override { stepEnds_ = std::move(due); }
    Clock::time_point now() const override { return now_; }

    // RestRecord: another process's rest is kept when it ends within one rest from now.
    Clock::time_point restsUntil(const std::string&) override {
        if (recorded_ <= now_ + kRest) {
            restsUntil_ = std::max(restsUntil_, recorded_);
        }
        return recorded_;
    }
    void rest(const std::string&, Clock::time_point until) override {
        check(run_.lastSent == endFrame() && until == now_ + kRest,
              "the radio rests from END's acknowledgement");
        recorded_ = restsUntil_ = until;
        if (run_.kind == TransferKind::Write && run_.blocksWritten == (1U << kBlocks) - 1 &&
            !run_.stored) {
            run_.stored = true;
            run_.storedUntil = until;
        }
    }
    void restOver(const std::string&, Clock::time_point end) override {
        check(end <= now_, "a rest is forgotten only once it is over");
    }

    // TransferListener
    void onBlockStarted(TransferKind kind, int block, int count) override {
        check(block >= 1 && block <= kBlocks && count == kBlocks, "block k of 8");
        check(kind == TransferKind::Read || (run_.gathered && !run_.gatherError),
              "a write block comes only from gathered fields");
    }
    void onIdentified(const Identification& radio) override { run_.identified = radio; }
    void onReadCompleted(const CalibrationRecord& image) override {
        outcome();
        check(run_.kind == TransferKind::Read, "a read completes only a read");
        check(!run_.judgeable || sameAsMemory(image), "a completed read holds the radio's memory");
        completed();
    }
    void onWriteCompleted() override {
        outcome();
        check(run_.stored && now_ >= run_.storedUntil,
              "a write completes once the radio has stored what it took");
        check(run_.readBack == Transfer::ReadBack::No || !run_.judgeable ||
                  sameAsMemory(run_.expected),
              "a write completes only when the radio reads back what it sent");
        check(run_.kind == TransferKind::Write, "a write completes only a write");
        check(run_.gathered && !run_.gatherError && run_.backups == 1 && !run_.backupFailed,
              "a completed write gathered its fields and kept the radio's memory once");
        check(run_.blocksWritten == (1U << kBlocks) - 1, "a completed write sent every block");
        completed();
    }
    void onIdentifyCompleted(const Identification& radio) override {
        outcome();
        check(run_.kind == TransferKind::Identify, "an identification completes only one");
        check(run_.identified && run_.identified->model == radio.model &&
                  run_.identified->version == radio.version,
              "the identification reported is the one received");
        completed();
    }
    void onFailed(const TransferFailure& failure) override {
        outcome();
        using Kind = TransferFailure::Kind;
        if (run_.gatherError) {
            check(failure.kind == Kind::InvalidField && failure.field &&
                      failure.field->field == run_.gatherError->field,
                  "a write stopped by a field fails naming that field");
        } else if (run_.backupFailed) {
            check(failure.kind == Kind::BackupFailed, "a backup that failed fails the write");
        }
        check(failure.kind != Kind::WrongModel ||
                  (!run_.settings.model.empty() && failure.radio.model != run_.settings.model),
              "only another model is the wrong model");
        startNextFromOutcome();
    }

    void outcome() {
        check(run_.live, "exactly one outcome, for a transfer that runs");
        run_.live = false;
        check(!open_ && !timing_ && !transfer_.running(),
              "the outcome comes with the port closed and the timer stopped");
    }

    void completed() {
        check(run_.lastSent == endFrame(), "nothing completes before END");
        check(run_.settings.model.empty() ||
                  (run_.identified && run_.identified->model == run_.settings.model),
              "a checked model was identified before completing");
        startNextFromOutcome();
    }

    void startNextFromOutcome() {
        if (nesting_ < kMostNesting && input_.ConsumeBool()) {
            ++nesting_;
            startTransfer();
            --nesting_;
        }
    }

    void checkBetweenEvents() const {
        if (transfer_.running()) {
            check(timing_ != due_.has_value(), "a running transfer waits on one of its timers");
        } else {
            check(!open_ && !timing_, "the port is closed and the answer timer stopped when idle");
            check(!run_.live, "a transfer that ended gave its outcome");
            check(due_.has_value() == transfer_.resting(), "an idle transfer counts only a rest");
        }
    }

    bool sameAsMemory(const CalibrationRecord& image) const {
        for (std::size_t k = 0; k < run_.memory.size(); ++k) {
            if (image.byte(k) != run_.memory[k]) {
                return false;
            }
        }
        return true;
    }

    // What the radio answers: its memory at `address`, beyond it a filler.
    Frame blockAnswer(std::uint16_t address, bool withTrailer) const {
        Frame block = {'W', static_cast<std::uint8_t>(address >> 8),
                       static_cast<std::uint8_t>(address & 0xFF), kBlockSize};
        for (std::size_t i = 0; i < kBlockSize; ++i) {
            const std::size_t at = address - CalibrationRecord::kBaseAddress + i;
            block.push_back(address >= CalibrationRecord::kBaseAddress && at < run_.memory.size()
                                ? run_.memory[at]
                                : kBeyondMemory);
        }
        block.push_back(0);
        if (withTrailer) {
            block.push_back(kAck);
        }
        return block;
    }

    // A frame the radio takes in: what it asks for, and what a write must send.
    void received(const Frame& frame) {
        run_.lastSent = frame;
        if (frame.size() == 4 && frame[0] == 'R') {
            run_.requested = static_cast<std::uint16_t>(frame[1] << 8 | frame[2]);
        }
        if (frame.size() == 22 && frame[0] == 'W') {
            check(run_.kind == TransferKind::Write && run_.gathered && !run_.gatherError &&
                      run_.backups == 1 && !run_.backupFailed,
                  "a write block is sent only from gathered fields over a kept memory");
            const auto address = static_cast<std::uint16_t>(frame[1] << 8 | frame[2]);
            check(!run_.judgeable || frame == writeBlockFrame(address, run_.expected),
                  "a write block holds the radio's memory with the fields in");
            run_.blocksWritten |= 1U << blockIndex(address);
        }
    }

    static unsigned blockIndex(std::uint16_t address) {
        return static_cast<unsigned>(address - CalibrationRecord::kBaseAddress) / kBlockSize;
    }

    void answer(const Frame& block) {
        if (open_ && deliver_) {
            deliver_(block);
        }
    }

    void perform(Op op) {
        switch (op) {
            case Op::Tick:
                if (timing_) {
                    tick_();
                }
                break;
            case Op::Ack:
                answer({kAck});
                break;
            case Op::Refusal:
                answer({kRefusal});
                break;
            case Op::AccessAck:
                answer({'K', 'V', kAck});
                break;
            case Op::Identification:
                answer(identification(input_.ConsumeBool() ? kModel : "QV-412"));
                break;
            case Op::RequestedBlock:
                answer(blockAnswer(run_.requested, input_.ConsumeBool()));
                break;
            case Op::AnyBlock:
                answer(blockAnswer(input_.ConsumeIntegralInRange<std::uint16_t>(0x5FF0, 0x6090),
                                   input_.ConsumeBool()));
                break;
            case Op::RawBytes:
                rawBytes(input_.ConsumeBytes<std::uint8_t>(input_.ConsumeIntegralInRange(0, 24)));
                break;
            case Op::PortLost:
                if (open_) {
                    open_ = false;
                    lost_();
                }
                break;
            case Op::PortClosed:
                open_ = false;
                break;
            case Op::OpenFails:
                openFails_ = true;
                break;
            case Op::WriteRefused:
                writeRefused_ = true;
                break;
            case Op::Start:
                startTransfer();
                break;
            case Op::Abandon:
                transfer_.abandon();
                run_.live = false;
                break;
            case Op::EditText:
                editText();
                break;
            case Op::BackupFails:
                backupFails_ = true;
                break;
            case Op::StepEnds:
                if (due_) {
                    now_ = std::max(now_, *std::exchange(due_, std::nullopt));
                    stepEnds_();
                }
                break;
            case Op::RestRecorded:
                recorded_ =
                    now_ + std::chrono::milliseconds(input_.ConsumeIntegral<std::int16_t>());
                break;
        }
    }

    void rawBytes(const Frame& block) {
        if (isBlockAnswer(block) && block != blockAnswer(blockAnswerAddress(block), false) &&
            block != blockAnswer(blockAnswerAddress(block), true)) {
            run_.judgeable = false;
        }
        answer(block);
    }

    static Frame identification(std::string_view model) {
        Frame frame(16, 0);
        frame[0] = 'I';
        std::copy(model.begin(), model.end(), frame.begin() + 1);
        const std::string_view version = "0102";
        std::copy(version.begin(), version.end(), frame.begin() + 9);
        return frame;
    }

    void editText() {
        static const std::array<std::string, 12> kTexts = {
            "", " ", "x", "-1", "256", "65536", "2.5", "1e2", "0", "255", "65535", " 007 "};
        const int field = input_.ConsumeIntegralInRange(0, kFieldCount - 1);
        fields_.texts.at(field) =
            input_.ConsumeBool()
                ? kTexts.at(input_.ConsumeIntegralInRange<std::size_t>(0, kTexts.size() - 1))
                : input_.ConsumeRandomLengthString(8);
    }

    void startTransfer() {
        run_ = Run{};
        run_.kind = static_cast<TransferKind>(input_.ConsumeIntegralInRange(0, 2));
        run_.settings.model = input_.ConsumeBool() ? std::string(kModel) : std::string();
        const std::uint8_t seed = input_.ConsumeIntegral<std::uint8_t>();
        ++starts_;
        for (std::size_t k = 0; k < run_.memory.size(); ++k) {
            run_.memory[k] = static_cast<std::uint8_t>(seed + 31 * k + 101 * starts_);
        }
        run_.live = true;
        transfer_.setRadioSettings(run_.settings);
        switch (run_.kind) {
            case TransferKind::Read:
                transfer_.startRead("radio");
                break;
            case TransferKind::Identify:
                transfer_.startIdentify("radio");
                break;
            case TransferKind::Write:
                run_.readBack =
                    input_.ConsumeBool() ? Transfer::ReadBack::Yes : Transfer::ReadBack::No;
                transfer_.startWrite(
                    "radio", [this](CalibrationRecord& image) { return gather(image); },
                    [this](const CalibrationRecord& memory, const Identification&) {
                        return backup(memory);
                    },
                    run_.readBack);
                break;
        }
    }

    std::optional<std::string> backup(const CalibrationRecord& memory) {
        check(!run_.judgeable || sameAsMemory(memory), "the backup is the radio's memory");
        ++run_.backups;
        run_.backupFailed = backupFails_;
        backupFails_ = false;
        return run_.backupFailed ? std::optional<std::string>("disk full") : std::nullopt;
    }

    std::optional<GatherError> gather(CalibrationRecord& image) {
        check(run_.backups == 1 && !run_.backupFailed, "fields go in only over a kept memory");
        check(!run_.judgeable || sameAsMemory(image), "fields go in over the radio's memory");
        for (std::size_t k = 0; k < run_.memory.size(); ++k) {
            run_.expected.setByte(k, run_.memory[k]);
        }
        FieldRecord scratch;
        run_.gathered = true;
        run_.gatherError = textsToImage(fields_, scratch, run_.expected);
        FieldRecord record;
        return textsToImage(fields_, record, image);
    }

    FuzzedDataProvider& input_;
    bool open_ = false;
    bool timing_ = false;
    bool openFails_ = false;
    bool writeRefused_ = false;
    bool backupFails_ = false;
    int nesting_ = 0;
    std::size_t starts_ = 0;
    ReceivedHandler deliver_;
    LostHandler lost_;
    std::function<void()> tick_;
    std::optional<Clock::time_point> due_;
    std::function<void()> stepEnds_;
    Clock::time_point now_{std::chrono::hours(1)};
    Clock::time_point recorded_;
    // No frame may go to the radio before this.
    Clock::time_point restsUntil_;
    FieldTextsArray fields_;
    Run run_;
    Transfer transfer_{*this, *this, *this, *this, *this};
};

}  // namespace
}  // namespace qv::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    qv::fuzz::Radio(input).play();
    return 0;
}
