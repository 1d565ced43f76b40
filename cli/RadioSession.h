#pragma once

#include <QEventLoop>
#include <QTimer>
#include <optional>
#include <ostream>

#include "link/FileRestRecord.h"
#include "link/QtAnswerTimer.h"
#include "link/QtStepTimer.h"
#include "link/Transfer.h"
#include "link/TransferListener.h"

namespace qv::cli {

// How one transfer ended.
struct SessionResult {
    std::optional<TransferFailure> failure;  // none: completed
    Identification radio;                    // as the radio named itself, when it did
    CalibrationRecord memory;                // of a completed read
    int blocksWritten = 0;                   // write blocks sent (the last may be unconfirmed)
};

// Runs one transfer of the engine on the event loop until its outcome, showing progress
// ("Reading block 3 of 8", "The radio rests: 2 s") on `progress` when there is one.
class RadioSession final : private TransferListener {
public:
    RadioSession(SerialPort& port, const RadioSettings& settings, std::ostream* progress);

    SessionResult identify(const std::string& device);
    SessionResult read(const std::string& device);
    SessionResult write(const std::string& device, Transfer::Gather gather,
                        Transfer::Backup backup);
    // Returns once the radio rests no more after the last transfer, so that the next process
    // finds it ready.
    void waitForRest();

private:
    SessionResult run(const std::function<void()>& start);
    void onBlockStarted(TransferKind kind, int block, int count) override;
    void onIdentified(const Identification& radio) override;
    void onReadCompleted(const CalibrationRecord& image) override;
    void onWriteCompleted() override;
    void onIdentifyCompleted(const Identification& radio) override;
    void onFailed(const TransferFailure& failure) override;
    void onResting(RestKind kind, int secondsLeft) override;
    void onRestOver() override;
    void finish();

    std::ostream* progress_;
    QTimer waitTimer_;
    QtAnswerTimer answerTimer_{waitTimer_};
    QtStepTimer steps_;
    FileRestRecord rests_;
    Transfer transfer_;
    QEventLoop loop_;
    SessionResult result_;
    bool done_ = false;
    bool progressShown_ = false;
};

}  // namespace qv::cli
