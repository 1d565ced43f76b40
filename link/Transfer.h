#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "link/AnswerTimer.h"
#include "link/Frames.h"
#include "link/RadioSettings.h"
#include "link/RestRecord.h"
#include "link/SerialPort.h"
#include "link/StepTimer.h"
#include "link/TransferListener.h"
#include "record/CalibrationRecord.h"
#include "record/Conversions.h"

namespace qv {

// One read of the radio's calibration memory, one write of it, or one identification of the
// radio, run as a sequence of exchanges fixed when it starts: the access code, the
// identification, the block reads, the write blocks and END. Each exchange waits for its own
// answer and has its own three re-sends. A block answer is used only when its checksum is right
// or, asked again, when two answers agree byte for byte; asking again spends a re-send. It advances
// one received block, one answer-timer tick or one step of its step timer at a time and ends with
// exactly one outcome for its listener, unless another transfer starts first or it is abandoned.
// Its pauses are steps: 10 ms before each frame that follows an answer, and after END's
// acknowledgement the radio's rest, during which no frame goes to that device: a transfer started
// meanwhile, here or in another process (through the rest record), waits for it to end. A read or
// an identification is reported at END's acknowledgement. Once a write's rest is over, the radio's
// whole memory is read back in a session of its own and compared with what was sent; the write is
// reported at that session's END, and that session's rest follows, as a read's does.
class Transfer {
public:
    // Puts the editable fields into the image; the first field that holds no value stops it.
    using Gather = std::function<std::optional<GatherError>(CalibrationRecord& image)>;
    // Keeps the radio's whole memory before anything is written to it; why not, when it cannot.
    using Backup = std::function<std::optional<std::string>(const CalibrationRecord& memory,
                                                            const Identification& radio)>;

    // Whether a write reads the radio back once it has stored what it took.
    enum class ReadBack { Yes, No };

    // How long the radio rests after acknowledging END.
    static constexpr std::chrono::milliseconds kRest{3000};
    // The least pause before every frame after the first.
    static constexpr std::chrono::milliseconds kStepPause{10};

    Transfer(SerialPort& port, AnswerTimer& timer, StepTimer& steps, RestRecord& rests,
             TransferListener& listener);
    ~Transfer();
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    // Taken at the start of each transfer.
    void setRadioSettings(RadioSettings settings) { settings_ = std::move(settings); }

    // Opens the port on the device, once the radio there rests no more, and sends the access
    // code; a transfer already running is abandoned. A write first reads the radio's whole memory
    // and keeps it (no block is written when it cannot be kept), then writes that memory with the
    // fields gathered in: every byte no editable field holds stays the radio's own.
    void startRead(const std::string& device);
    void startWrite(const std::string& device, Gather gather, Backup backup,
                    ReadBack readBack = ReadBack::Yes);
    // The access code, the identification (asked again after any loss) and END.
    void startIdentify(const std::string& device);
    // Ends a running transfer with the port closed and no outcome, and stops counting a rest.
    void abandon();

    bool running() const { return step_ != Step::Idle; }
    // The radio rests after the last outcome, and onRestOver is to come.
    bool resting() const { return restCounted_; }

private:
    // What the transfer is doing, and so the one answer it takes.
    enum class Step {
        Idle,        // nothing: every answer is stray
        Waiting,     // no port yet: the device's radio rests after an END
        AccessCode,  // the access acknowledgement
        Identify,    // the identification; not kept for re-sending: silence sends the access
                     // code again, counted against its re-sends
        ReadBlock,   // the block answer for the address asked, stored
        Backup,      // no frame: the memory read is kept before a write
        Gather,      // no frame: the fields go into the image
        WriteBlock,  // an acknowledgement, or a refusal, which sends the block again
        Pausing,     // nothing: an answer came, the next exchange follows a short pause
        Refused,     // nothing: a refusal came, the frame goes again after a short pause
        Unchecked,   // nothing: a block answer did not check out, it is asked again after a
                     // short pause
        Stopping,    // nothing: another model answered, the port closes after a short pause
        Settling,    // nothing: a block sent again was acknowledged, a second answer may follow
        End,         // an acknowledgement, or a refusal, which sends END again
        Storing,     // nothing: a write's END acknowledged, the port closed, the radio rests
    };
    struct Exchange {
        Step step = Step::Idle;
        std::uint16_t address = 0;
        Frame frame;  // of a write block: built once the fields are gathered
        int threshold = 0;
    };

    void start(TransferKind kind, const std::string& device, std::vector<Exchange> plan,
               ReadBack readBack = ReadBack::No);
    std::vector<Exchange> opening() const;
    std::vector<Exchange> readingAll() const;
    void open();
    void send();
    void transmit(const Exchange& exchange);
    void onReceived(const Frame& block);
    void onAnswerTimeout();
    void onPortLost();
    void onStepDue();
    bool awaitsAnswer() const;
    bool answersRequest(const Frame& block) const;
    void identified(const Identification& radio);
    bool checked(const Frame& block);
    void storeBlock(const Frame& block);
    void keepBackup();
    void gather();
    void pause(Step step);
    void moveOn();
    void advance();
    bool settled();
    void refused();
    void resendOrGiveUp(TransferFailure::Kind whenSpent);
    void endAcknowledged();
    void readBack();
    int nextRestCount();
    void countRest();
    void finish();
    void report();
    void reportWrite();
    void fail(TransferFailure::Kind kind, std::string reason = {});
    void end();

    SerialPort& port_;
    AnswerTimer& timer_;
    StepTimer& steps_;
    RestRecord& rests_;
    TransferListener& listener_;
    RadioSettings settings_;
    TransferKind kind_ = TransferKind::Read;
    std::string device_;
    std::vector<Exchange> plan_;
    std::size_t current_ = 0;
    Step step_ = Step::Idle;
    int resends_ = 0;
    // The port took the frame of the current exchange.
    bool frameSent_ = false;
    // The last rest known here, kept also when the record cannot be written.
    std::string restDevice_;
    StepTimer::Clock::time_point restEnd_{};
    // The rest after an outcome is counted for the listener.
    bool restCounted_ = false;
    bool identificationLost_ = false;
    Identification identification_;
    Gather gather_;
    Backup backup_;
    // A write stopped by a field: END goes out, and this is its outcome.
    std::optional<TransferFailure> stopped_;
    // The answers to the current block request that did not check out.
    std::vector<Frame> unchecked_;
    ReadBack readBack_ = ReadBack::No;
    // The write is over and the radio's memory is being read back.
    bool readingBack_ = false;
    // The radio's memory as read, changed by a write into what it sends.
    CalibrationRecord image_;
    // What a write sent, while its memory is read back into image_.
    CalibrationRecord sent_;
};

}  // namespace qv
