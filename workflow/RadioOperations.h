#pragma once

#include <QString>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "datafile/CalibrationDocument.h"
#include "link/RadioSettings.h"
#include "link/Transfer.h"
#include "link/TransferListener.h"
#include "workflow/Wording.h"

namespace qv {

// A port as the person chose it.
struct RadioPort {
    std::string name;  // "COM9"; empty when chosen by its device path
    std::string device;

    // "COM9 (/dev/ttyUSB0)", or the device path.
    std::string describe() const;
};

// Where the radio is and how to talk to it, and where its backups go.
struct RadioSetup {
    RadioPort port;
    RadioSettings settings;
    std::filesystem::path backupFolder;
};

// The radio as read through this setup now, for its document and backup.
RadioOrigin originOf(const RadioSetup& setup, const Identification& radio,
                     const CalibrationRecord& memory);

// How one piece of work with the radio ended.
struct OperationResult {
    std::optional<Message> failure;  // none: completed
    Identification radio;            // as the radio named itself, when it did
    CalibrationRecord memory;        // of a completed read
};

// Reads, writes and identifies the radio over the transfer engine, keeps the backups (every
// read, and every write before its first block) and words how each ended, for the window and
// the command line alike.
class RadioOperations final : private TransferListener {
public:
    // What the work tells the front end that started it.
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void onBlockStarted(TransferKind kind, int block, int count) = 0;
        virtual void onIdentified(const Identification& radio) = 0;
        // A backup was kept (`detail` is its path) or could not be (`detail` is why).
        virtual void onBackup(const QString& said, const QString& detail) = 0;
        // Once per piece of work started, after the port is closed.
        virtual void onFinished(TransferKind kind, const OperationResult& result) = 0;
        // What the radio does meanwhile: its rest after END, counted down each second ("The
        // radio rests: 2 s"), and the read-back of a write ("Checking what the radio keeps…").
        virtual void onProgressSaid(const QString& said) = 0;
        // The end of the rest.
        virtual void onRestOver() = 0;
        // Something the person should know about the work under way, worded.
        virtual void onNote(const QString& said) = 0;
    };

    RadioOperations(SerialPort& port, AnswerTimer& timer, StepTimer& steps, RestRecord& rests,
                    Listener& listener);

    // A read keeps its backup under `reason` ("read", "verify"); one that cannot be kept is
    // said and the read stands.
    void read(const RadioSetup& setup, std::string_view reason = "read");
    // A write whose backup cannot be kept sends no block. It is over once what the radio keeps
    // was read back and matches, unless `readBack` leaves that out.
    void write(const RadioSetup& setup, Transfer::Gather gather,
               Transfer::ReadBack readBack = Transfer::ReadBack::Yes);
    void identify(const RadioSetup& setup);
    // Ends the running work with the port closed and nothing reported.
    void abandon() { transfer_.abandon(); }

    const Transfer& transfer() const { return transfer_; }
    // The radio rests after the last work, and onRestOver is to come.
    bool resting() const { return transfer_.resting(); }

private:
    void begin(const RadioSetup& setup, TransferKind kind);
    std::optional<std::string> keepRadioBackup(const CalibrationRecord& memory,
                                               const Identification& radio,
                                               std::string_view reason);
    void onBlockStarted(TransferKind kind, int block, int count) override;
    void onIdentified(const Identification& radio) override;
    void onReadBackStarted() override;
    void onReadCompleted(const CalibrationRecord& image) override;
    void onWriteCompleted() override;
    void onIdentifyCompleted(const Identification& radio) override;
    void onFailed(const TransferFailure& failure) override;
    void onResting(RestKind kind, int secondsLeft) override;
    void onRestOver() override;
    void onHoldersUnchecked() override;
    void finish();

    Listener& listener_;
    Transfer transfer_;
    RadioSetup setup_;
    TransferKind kind_ = TransferKind::Read;
    std::string readReason_;
    OperationResult result_;
    WriteProgress progress_;
};

}  // namespace qv
