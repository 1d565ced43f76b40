#include "cli/RadioSession.h"

#include <chrono>

#include "ports/AppFolders.h"

namespace qv::cli {

RadioSession::RadioSession(SerialPort& port, std::ostream& err, bool showProgress)
    : err_(err),
      showProgress_(showProgress),
      rests_(restFolder()),
      work_(port, answerTimer_, steps_, rests_, *this) {}

// An outcome can come before the loop runs (a port that does not open): the loop then never
// starts, as a quit before exec would be lost.
OperationResult RadioSession::run(const std::function<void(RadioOperations&)>& start) {
    result_ = {};
    done_ = false;
    start(work_);
    if (!done_) {
        loop_.exec();
    }
    return result_;
}

void RadioSession::waitForRest() {
    if (work_.resting()) {
        showRestLeft();
        loop_.exec();
    }
}

// The engine counts the seconds after the first; the first is said here, after the result.
void RadioSession::showRestLeft() {
    const auto left = std::chrono::ceil<std::chrono::seconds>(restEnd_ - steps_.now()).count();
    if (left > 0) {
        showProgress(Wording::restText(RestKind::Resting, static_cast<int>(left)).toStdString());
    }
}

void RadioSession::onBlockStarted(TransferKind kind, int block, int count) {
    showProgress((kind == TransferKind::Write ? "Writing block " : "Reading block ") +
                 std::to_string(block) + " of " + std::to_string(count));
}

void RadioSession::onProgressSaid(const QString& said) {
    showProgress(said.toStdString());
}

void RadioSession::onRestOver() {
    clearProgress();
    loop_.quit();
}

// One line, written over as the work goes on.
void RadioSession::showProgress(const std::string& text) {
    if (showProgress_) {
        progressShown_ = true;
        err_ << "\r\033[K" << text << std::flush;
    }
}

void RadioSession::onIdentified(const Identification& /*radio*/) {}

void RadioSession::onBackup(const QString& said, const QString& /*detail*/) {
    sayLine(said);
}

void RadioSession::onNote(const QString& said) {
    sayLine(said);
}

void RadioSession::sayLine(const QString& said) {
    clearProgress();
    err_ << said.toStdString() << "\n";
}

void RadioSession::onFinished(TransferKind /*kind*/, const OperationResult& result) {
    clearProgress();
    restEnd_ = steps_.now() + Transfer::kRest;
    result_ = result;
    done_ = true;
    loop_.quit();
}

void RadioSession::clearProgress() {
    if (progressShown_) {
        err_ << "\r\033[K" << std::flush;
        progressShown_ = false;
    }
}

}  // namespace qv::cli
