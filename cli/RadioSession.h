#pragma once

#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <ostream>

#include "link/FileRestRecord.h"
#include "link/QtAnswerTimer.h"
#include "link/QtStepTimer.h"
#include "workflow/RadioOperations.h"

namespace qv::cli {

// Runs one piece of work with the radio on the event loop until it ends, saying its backup on
// `err` and showing progress ("Reading block 3 of 8", "The radio rests: 2 s") there when
// `showProgress`.
class RadioSession final : private RadioOperations::Listener {
public:
    RadioSession(SerialPort& port, std::ostream& err, bool showProgress);

    OperationResult run(const std::function<void(RadioOperations&)>& start);
    // Returns once the radio rests no more after the last work, so that the next process finds
    // it ready; the rest is counted down from its first second, which began with the outcome.
    void waitForRest();

private:
    void onBlockStarted(TransferKind kind, int block, int count) override;
    void onIdentified(const Identification& radio) override;
    void onBackup(const QString& said, const QString& detail) override;
    void onFinished(TransferKind kind, const OperationResult& result) override;
    void onProgressSaid(const QString& said) override;
    void onRestOver() override;
    void onNote(const QString& said) override;
    void showRestLeft();
    void showProgress(const std::string& text);
    void clearProgress();
    void sayLine(const QString& said);

    std::ostream& err_;
    bool showProgress_;
    QTimer waitTimer_;
    QtAnswerTimer answerTimer_{waitTimer_};
    QtStepTimer steps_;
    FileRestRecord rests_;
    RadioOperations work_;
    QEventLoop loop_;
    OperationResult result_;
    StepTimer::Clock::time_point restEnd_;
    bool done_ = false;
    bool progressShown_ = false;
};

}  // namespace qv::cli
