#include "cli/RadioSession.h"

#include "translations/Translations.h"

namespace qv::cli {

RadioSession::RadioSession(SerialPort& port, const RadioSettings& settings, std::ostream* progress)
    : progress_(progress), transfer_(port, answerTimer_, steps_, rests_, *this) {
    transfer_.setRadioSettings(settings);
}

SessionResult RadioSession::identify(const std::string& device) {
    return run([&] { transfer_.startIdentify(device); });
}

SessionResult RadioSession::read(const std::string& device) {
    return run([&] { transfer_.startRead(device); });
}

SessionResult RadioSession::write(const std::string& device, Transfer::Gather gather,
                                  Transfer::Backup backup) {
    return run([&] { transfer_.startWrite(device, std::move(gather), std::move(backup)); });
}

// An outcome can come before the loop runs (a port that does not open): the loop then never
// starts, as a quit before exec would be lost.
SessionResult RadioSession::run(const std::function<void()>& start) {
    result_ = {};
    done_ = false;
    start();
    if (!done_) {
        loop_.exec();
    }
    return result_;
}

// The rest after the outcome is counted on the progress line, which its end clears.
void RadioSession::waitForRest() {
    if (transfer_.resting()) {
        loop_.exec();
    }
}

void RadioSession::onBlockStarted(TransferKind kind, int block, int count) {
    if (kind == TransferKind::Write) {
        result_.blocksWritten = block;
    }
    if (progress_ != nullptr) {
        progressShown_ = true;
        *progress_ << "\r\033[K" << (kind == TransferKind::Write ? "Writing" : "Reading")
                   << " block " << block << " of " << count << std::flush;
    }
}

void RadioSession::onResting(RestKind kind, int secondsLeft) {
    if (progress_ != nullptr) {
        progressShown_ = true;
        *progress_ << "\r\033[K" << restText(kind, secondsLeft).toStdString() << std::flush;
    }
}

void RadioSession::onRestOver() {
    finish();
}

void RadioSession::onIdentified(const Identification& radio) {
    result_.radio = radio;
}

void RadioSession::onReadCompleted(const CalibrationRecord& image) {
    result_.memory = image;
    finish();
}

void RadioSession::onWriteCompleted() {
    finish();
}

void RadioSession::onIdentifyCompleted(const Identification& radio) {
    result_.radio = radio;
    finish();
}

void RadioSession::onFailed(const TransferFailure& failure) {
    result_.failure = failure;
    if (!failure.radio.model.empty()) {
        result_.radio = failure.radio;
    }
    finish();
}

void RadioSession::finish() {
    if (progressShown_) {
        *progress_ << "\r\033[K" << std::flush;
        progressShown_ = false;
    }
    done_ = true;
    loop_.quit();
}

}  // namespace qv::cli
