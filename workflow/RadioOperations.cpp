#include "workflow/RadioOperations.h"

#include <array>

#include "datafile/Backups.h"
#include "workflow/TransferLog.h"

namespace qv {

namespace {

const char* nameOf(TransferFailure::Kind kind) {
    static constexpr std::array<const char*, 9> kNames{
        "port unavailable", "no answer",     "reopen failed",  "port lost", "wrong model",
        "invalid field",    "backup failed", "answers differ", "not kept"};
    return kNames.at(static_cast<std::size_t>(kind));
}

void logOutcome(const QString& what) {
    qCDebug(lcWorkflow).noquote() << what;
}

}  // namespace

std::string RadioPort::describe() const {
    return name.empty() ? device : name + " (" + device + ")";
}

RadioOrigin originOf(const RadioSetup& setup, const Identification& radio,
                     const CalibrationRecord& memory) {
    return {.model = radio.model,
            .version = radio.version,
            .time = utcTime(std::chrono::system_clock::now()),
            .port = setup.port.describe(),
            .memory = memory};
}

RadioOperations::RadioOperations(SerialPort& port, AnswerTimer& timer, StepTimer& steps,
                                 RestRecord& rests, Listener& listener)
    : listener_(listener), transfer_(port, timer, steps, rests, *this) {}

void RadioOperations::begin(const RadioSetup& setup, TransferKind kind) {
    setup_ = setup;
    kind_ = kind;
    result_ = {};
    progress_ = {};
    transfer_.setRadioSettings(setup.settings);
    logOutcome(QStringLiteral("%1 over %2")
                   .arg(QLatin1String(transferName(kind)), escapedText(setup.port.describe())));
}

void RadioOperations::read(const RadioSetup& setup, std::string_view reason) {
    begin(setup, TransferKind::Read);
    readReason_ = reason;
    transfer_.startRead(setup.port.device);
}

void RadioOperations::write(const RadioSetup& setup, Transfer::Gather gather,
                            Transfer::ReadBack readBack) {
    begin(setup, TransferKind::Write);
    transfer_.startWrite(
        setup.port.device, std::move(gather),
        [this](const CalibrationRecord& memory, const Identification& radio) {
            return keepRadioBackup(memory, radio, "write");
        },
        readBack);
}

void RadioOperations::identify(const RadioSetup& setup) {
    begin(setup, TransferKind::Identify);
    transfer_.startIdentify(setup.port.device);
}

std::optional<std::string> RadioOperations::keepRadioBackup(const CalibrationRecord& memory,
                                                            const Identification& radio,
                                                            std::string_view reason) {
    const auto kept = keepBackup(setup_.backupFolder, originOf(setup_, radio, memory), reason);
    if (kept) {
        progress_.backup = *kept;
        logOutcome(QStringLiteral("backup kept: ") + escapedPath(*kept));
        listener_.onBackup(Wording::backupKept(*kept), escapedPath(*kept));
        return std::nullopt;
    }
    const std::string why = failureText(kept.error());
    logOutcome(QStringLiteral("no backup kept: ") + escapedText(why));
    return why;
}

// The read-back's blocks are not shown one by one: the status says the radio is checked.
void RadioOperations::onBlockStarted(TransferKind kind, int block, int count) {
    if (progress_.readingBack) {
        return;
    }
    if (kind == TransferKind::Write) {
        progress_.blocksWritten = block;
    }
    listener_.onBlockStarted(kind, block, count);
}

void RadioOperations::onReadBackStarted() {
    progress_.readingBack = true;
    listener_.onProgressSaid(Wording::checkingWhatTheRadioKeeps());
}

void RadioOperations::onIdentified(const Identification& radio) {
    result_.radio = radio;
    logOutcome(QStringLiteral("identified: ") + Wording::radioName(radio));
    listener_.onIdentified(radio);
}

void RadioOperations::onReadCompleted(const CalibrationRecord& image) {
    result_.memory = image;
    logOutcome(QStringLiteral("read completed"));
    if (const auto why = keepRadioBackup(image, result_.radio, readReason_)) {
        listener_.onBackup(Wording::backupNotKept(*why), escapedText(*why));
    }
    finish();
}

void RadioOperations::onWriteCompleted() {
    logOutcome(QStringLiteral("write completed"));
    finish();
}

void RadioOperations::onIdentifyCompleted(const Identification& radio) {
    result_.radio = radio;
    logOutcome(QStringLiteral("identify completed"));
    finish();
}

void RadioOperations::onFailed(const TransferFailure& failure) {
    if (!failure.radio.model.empty()) {
        result_.radio = failure.radio;
    }
    result_.failure = Wording::transferFailed(failure, kind_, setup_.port.describe(), progress_,
                                              setup_.settings.model);
    logOutcome(QStringLiteral("failed, %1: %2")
                   .arg(QLatin1String(nameOf(failure.kind)),
                        result_.failure->text().replace(QLatin1Char('\n'), QLatin1String(" / "))));
    finish();
}

void RadioOperations::onResting(RestKind kind, int secondsLeft) {
    listener_.onProgressSaid(Wording::restText(kind, secondsLeft));
}

void RadioOperations::onRestOver() {
    listener_.onRestOver();
}

// A copy goes out: the listener may start the next work from it.
void RadioOperations::onHoldersUnchecked() {
    listener_.onNote(Wording::holdersUnchecked());
}

void RadioOperations::finish() {
    const OperationResult result = result_;
    listener_.onFinished(kind_, result);
}

}  // namespace qv
