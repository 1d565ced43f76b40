#include "workflow/RadioWork.h"

#include <variant>

#include "datafile/Backups.h"

namespace qv {

std::string RadioPort::describe() const {
    return name.empty() ? device : name + " (" + device + ")";
}

RadioOrigin originOf(const RadioPlace& place, const Identification& radio,
                     const CalibrationRecord& memory) {
    return {.model = radio.model,
            .version = radio.version,
            .time = utcTime(std::chrono::system_clock::now()),
            .port = place.port.describe(),
            .memory = memory};
}

RadioWork::RadioWork(SerialPort& port, AnswerTimer& timer, StepTimer& steps, RestRecord& rests,
                     Listener& listener)
    : listener_(listener), transfer_(port, timer, steps, rests, *this) {}

void RadioWork::begin(const RadioPlace& place, TransferKind kind) {
    place_ = place;
    kind_ = kind;
    result_ = {};
    progress_ = {};
    transfer_.setRadioSettings(place.settings);
}

void RadioWork::read(const RadioPlace& place, std::string_view reason) {
    begin(place, TransferKind::Read);
    readReason_ = reason;
    transfer_.startRead(place.port.device);
}

void RadioWork::write(const RadioPlace& place, Transfer::Gather gather,
                      Transfer::ReadBack readBack) {
    begin(place, TransferKind::Write);
    transfer_.startWrite(
        place.port.device, std::move(gather),
        [this](const CalibrationRecord& memory, const Identification& radio) {
            return keepRadioBackup(memory, radio, "write");
        },
        readBack);
}

void RadioWork::identify(const RadioPlace& place) {
    begin(place, TransferKind::Identify);
    transfer_.startIdentify(place.port.device);
}

std::optional<std::string> RadioWork::keepRadioBackup(const CalibrationRecord& memory,
                                                      const Identification& radio,
                                                      std::string_view reason) {
    const auto kept = keepBackup(place_.backupFolder, originOf(place_, radio, memory), reason);
    if (const auto* path = std::get_if<std::filesystem::path>(&kept)) {
        progress_.backup = *path;
        listener_.onBackup(Wording::backupKept(*path), outsidePath(*path));
        return std::nullopt;
    }
    return std::get<FileError>(kept).message();
}

// The read-back's blocks are not shown one by one: the status says the radio is checked.
void RadioWork::onBlockStarted(TransferKind kind, int block, int count) {
    if (progress_.readingBack) {
        return;
    }
    if (kind == TransferKind::Write) {
        progress_.blocksWritten = block;
    }
    listener_.onBlockStarted(kind, block, count);
}

void RadioWork::onReadBackStarted() {
    progress_.readingBack = true;
    listener_.onProgressSaid(Wording::checkingWhatTheRadioKeeps());
}

void RadioWork::onIdentified(const Identification& radio) {
    result_.radio = radio;
    listener_.onIdentified(radio);
}

void RadioWork::onReadCompleted(const CalibrationRecord& image) {
    result_.memory = image;
    if (const auto why = keepRadioBackup(image, result_.radio, readReason_)) {
        listener_.onBackup(Wording::backupNotKept(*why), outsideText(*why));
    }
    finish();
}

void RadioWork::onWriteCompleted() {
    finish();
}

void RadioWork::onIdentifyCompleted(const Identification& radio) {
    result_.radio = radio;
    finish();
}

void RadioWork::onFailed(const TransferFailure& failure) {
    if (!failure.radio.model.empty()) {
        result_.radio = failure.radio;
    }
    result_.failure = Wording::transferFailed(failure, kind_, place_.port.describe(), progress_,
                                              place_.settings.model);
    finish();
}

void RadioWork::onResting(RestKind kind, int secondsLeft) {
    listener_.onProgressSaid(Wording::restText(kind, secondsLeft));
}

void RadioWork::onRestOver() {
    listener_.onRestOver();
}

// A copy goes out: the listener may start the next work from it.
void RadioWork::onHoldersUnchecked() {
    listener_.onNote(Wording::holdersUnchecked());
}

void RadioWork::finish() {
    const WorkResult result = result_;
    listener_.onFinished(kind_, result);
}

}  // namespace qv
