#include "workflow/Wording.h"

#include "datafile/PathText.h"
#include "record/FieldCatalogue.h"
#include "record/PlainText.h"
#include "translations/Translations.h"
#include "workflow/CalibrationFiles.h"
#include "workflow/FieldRules.h"

namespace qv {

namespace {

QString nothingWrittenText() {
    return Wording::tr("Nothing was written to the radio.");
}

QString notSavedText() {
    return Wording::tr("The data file was not saved.");
}

}  // namespace

QString joinLines(const QString& first, const QString& second) {
    return first.isEmpty() ? second : second.isEmpty() ? first : first + "\n" + second;
}

QString escapedText(const std::string& text) {
    return QString::fromStdString(escapeControls(text));
}

// Each line alone: the breaks between them are the tool's own.
QString escapedLines(const std::string& text) {
    QStringList lines = QString::fromStdString(text).split(QLatin1Char('\n'));
    for (QString& line : lines) {
        line = escapedText(line.toStdString());
    }
    return lines.join(QLatin1Char('\n'));
}

QString escapedPath(const std::filesystem::path& path) {
    return escapedText(utf8Text(path));
}

Message Wording::transferFailed(const TransferFailure& failure, TransferKind kind,
                                const std::string& port, const WriteProgress& progress,
                                const std::string& expectedModel) {
    const QString where = escapedText(port);
    const QString reason = escapedText(failure.reason);
    // Why a port cannot be had comes in lines (the programs that hold it, one each).
    const QString portReason = escapedLines(failure.reason);
    using Kind = TransferFailure::Kind;
    Message message;
    switch (failure.kind) {
        case Kind::PortUnavailable:
            // A port named by an empty text would be opened as the folder /dev/.
            message = {Message::Kind::Port, tr("Cannot Open Communication Port."),
                       port.empty() ? tr("No port given.") : tr("%1: %2").arg(where, portReason),
                       true};
            break;
        case Kind::NoAnswer:
            message = {Message::Kind::Communication, tr("Communication Error!"),
                       tr("The radio on %1 did not answer.").arg(where), false};
            break;
        case Kind::ReopenFailed:
            message = {Message::Kind::Communication, tr("comm error"),
                       tr("%1 could not be opened again: %2").arg(where, portReason), false};
            break;
        case Kind::PortLost:
            message = {Message::Kind::Communication,
                       tr("The connection to the radio was lost: the cable was unplugged or the "
                          "port went away. The transfer has stopped."),
                       tr("The port was %1.").arg(where), true};
            break;
        case Kind::WrongModel:
            message = {Message::Kind::Model, tr("Model Type or Frequency Range Error!"),
                       tr("The radio on %1 is %2, not %3.")
                           .arg(where, radioName(failure.radio), escapedText(expectedModel)),
                       false};
            break;
        case Kind::InvalidField:
            return fieldStopsWrite(*failure.field);
        case Kind::BackupFailed:
            return nothingWritten(
                Message::Kind::File,
                tr("The radio's memory could not be kept as a backup: %1").arg(reason));
        case Kind::AnswersDiffer:
            message = {Message::Kind::Communication, tr("Communication Error!"),
                       tr("The radio's answers for block 0x%1 differ: the line is noisy.")
                           .arg(QString::number(failure.block, 16).toUpper()),
                       false};
            break;
        case Kind::NotKept:
            return notKept(*failure.mismatch, progress.backup);
    }
    if (kind == TransferKind::Write) {
        message.detail = joinLines(message.detail, howFarWritten(progress));
    }
    return message;
}

// A write that stopped after its first block may have left the radio half written.
QString Wording::howFarWritten(const WriteProgress& progress) {
    if (progress.readingBack) {
        return tr(
            "Every block was written, but what the radio keeps could not be read back: "
            "read it to check.");
    }
    return progress.blocksWritten == 0
               ? nothingWrittenText()
               : tr("The write stopped at block %1 of 8: the radio may hold part of the new data. "
                    "Write again.")
                     .arg(progress.blocksWritten);
}

// The first few differences say what went wrong; a count stands for the rest.
Message Wording::notKept(const WriteMismatch& mismatch, const std::filesystem::path& backup) {
    constexpr std::size_t kNamed = 5;
    const std::vector<Difference> found = differences(mismatch.sent, mismatch.kept);
    QStringList said;
    for (std::size_t k = 0; k < std::min(found.size(), kNamed); ++k) {
        said << tr("%1: written %2, the radio holds %3")
                    .arg(QString::fromStdString(found[k].label),
                         QString::fromStdString(found[k].first),
                         QString::fromStdString(found[k].second));
    }
    if (found.size() > kNamed) {
        said << tr("and %n more", nullptr, static_cast<int>(found.size() - kNamed));
    }
    if (!backup.empty()) {
        said << tr("The radio's memory before the write is kept in %1.").arg(escapedPath(backup));
    }
    return {Message::Kind::NotKept, tr("The radio did not keep what was written."), said.join("\n"),
            true};
}

Message Wording::nothingWritten(Message::Kind kind, const QString& why) {
    return {kind, nothingWrittenText(), why, true};
}

Message Wording::fieldStopsWrite(const GatherError& error) {
    return nothingWritten(Message::Kind::Field, fieldProblem(error));
}

Message Wording::noTerminalToConfirm() {
    return nothingWritten(Message::Kind::Usage,
                          tr("No terminal to confirm the write on: add --yes."));
}

Message Wording::notConfirmed() {
    return {Message::Kind::Usage, nothingWrittenText(), {}, false};
}

Message Wording::fileFailed(const Failure& failure, const QString& headline) {
    if (failure.kind == Failure::Kind::Usage) {
        return notACalibrationFileName(failure.path);
    }
    return {failure.kind, headline, escapedText(failureText(failure)), true};
}

Message Wording::fileNotLoaded(const Failure& failure) {
    return fileFailed(failure, tr("The data file was not loaded."));
}

Message Wording::fileNotSaved(const Failure& failure) {
    return fileFailed(failure, notSavedText());
}

Message Wording::settingsNotRead(const Failure& failure) {
    return fileFailed(failure, tr("The settings file was not read."));
}

Message Wording::settingsRefused(const std::string& why) {
    return {Message::Kind::File, tr("The settings file was not read."), escapedText(why), true};
}

Message Wording::fieldStopsSave(const GatherError& error) {
    return {Message::Kind::Field, notSavedText(), fieldProblem(error), true};
}

Message Wording::notACalibrationFileName(const std::filesystem::path& path) {
    return {Message::Kind::Usage,
            tr("\"%1\": name a data file (.bin) or a calibration document (.json).")
                .arg(escapedPath(path)),
            {},
            true};
}

// The top of a field's range is where its change rule stops a value.
QString Wording::fieldProblem(const GatherError& error) {
    const FieldInfo& f = fieldInfo(error.field);
    const QString name = QString::fromStdString(fieldName(error.field));
    const QString page = pageTitle(f.page);
    const QString text = escapedText(error.text);
    switch (error.reason) {
        case GatherError::Reason::Empty:
            return QCoreApplication::translate("qv::Fields",
                                               "The field %1 \"%2\" on page \"%3\" is empty.")
                .arg(QString::number(error.field), name, page);
        case GatherError::Reason::NotANumber:
            return QCoreApplication::translate(
                       "qv::Fields",
                       "The field %1 \"%2\" on page \"%3\" holds \"%4\", which is not a number.")
                .arg(QString::number(error.field), name, page, text);
        case GatherError::Reason::OutOfRange:
            break;
    }
    return QCoreApplication::translate(
               "qv::Fields",
               "The field %1 \"%2\" on page \"%3\" holds %4, outside its range 0 to %5.")
        .arg(QString::number(error.field), name, page, text,
             QString::number(valueAfterFieldRules(error.field, f.memberMax())));
}

QString Wording::readComplete() {
    return tr("Read Complete!");
}

QString Wording::writeComplete() {
    return tr("Write Complete!");
}

QString Wording::restText(RestKind kind, int secondsLeft) {
    return (kind == RestKind::Storing ? tr("The radio is storing the data: %1 s")
                                      : tr("The radio rests: %1 s"))
        .arg(secondsLeft);
}

QString Wording::holdersUnchecked() {
    return tr(
        "Not every program could be checked for holding the port in time: if another "
        "program uses it, the transfer may fail.");
}

QString Wording::checkingWhatTheRadioKeeps() {
    return tr("Checking what the radio keeps…");
}

QString Wording::notReadBack() {
    return tr("What the radio keeps was not checked: the write was not read back.");
}

QString Wording::backupKept(const std::filesystem::path& path) {
    return tr("Backup kept: %1").arg(escapedPath(path));
}

QString Wording::transferLogKept(const std::filesystem::path& path) {
    return tr("Log of this transfer, for support: %1").arg(escapedPath(path));
}

QString Wording::backupNotKept(const std::string& reason) {
    return tr("No backup kept: %1").arg(escapedText(reason));
}

QString Wording::radioName(const Identification& radio) {
    return radio.model.empty() ? tr("the radio")
                               : tr("%1 (version %2)")
                                     .arg(QString::fromStdString(escapeBytes(radio.model)),
                                          QString::fromStdString(escapeBytes(radio.version)));
}

QString Wording::readInto(const Identification& radio, const std::string& port,
                          const std::filesystem::path& file) {
    return tr("Read %1 on %2 into %3.").arg(radioName(radio), escapedText(port), escapedPath(file));
}

QString Wording::wroteInto(const std::filesystem::path& file, const Identification& radio,
                           const std::string& port) {
    return tr("Wrote %1 into %2 on %3.")
        .arg(escapedPath(file), radioName(radio), escapedText(port));
}

QString Wording::radioKeepsItsOwn(const std::string& label, const std::string& radio,
                                  const std::string& file) {
    return tr("The radio keeps its own %1: %2 (the file holds %3).")
        .arg(QString::fromStdString(label), QString::fromStdString(radio),
             QString::fromStdString(file));
}

QString Wording::radioHoldsTheFile(const Identification& radio, const std::string& port,
                                   const std::filesystem::path& file) {
    return tr("%1 on %2 holds every value that a write of %3 sends.")
        .arg(radioName(radio), escapedText(port), escapedPath(file));
}

QString Wording::valuesDiffer(std::size_t count, const std::filesystem::path& file,
                              const Identification& radio, const std::string& port) {
    return count == 1 ? tr("1 value in %1 differs from %2 on %3.")
                            .arg(escapedPath(file), radioName(radio), escapedText(port))
                      : tr("%1 values in %2 differ from %3 on %4.")
                            .arg(QString::number(count), escapedPath(file), radioName(radio),
                                 escapedText(port));
}

}  // namespace qv
