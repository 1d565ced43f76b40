#include "shell/Commands.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QStatusBar>

#include "datafile/Backups.h"
#include "datafile/CalibrationDocument.h"
#include "datafile/DataFile.h"
#include "fields/FieldEditor.h"
#include "ports/AppFolders.h"
#include "record/Conversions.h"
#include "shell/MainWindow.h"
#include "shell/Notices.h"
#include "translations/Translations.h"

namespace qv {

namespace {

std::filesystem::path localPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

}  // namespace

Commands::Commands(MainWindow& window, CommandServices services)
    : window_(window),
      notices_(services.notices),
      answerTimer_(*window.answerTimer()),
      transfer_(services.port, answerTimer_, services.steps, services.rests, *this),
      dialog_(services.picker),
      status_(*window.statusBar()) {
    connect(window.readButton(), &QPushButton::clicked, this, &Commands::onReadClicked);
    connect(window.writeButton(), &QPushButton::clicked, this, &Commands::onWriteClicked);
    connect(window.saveButton(), &QPushButton::clicked, this, &Commands::onSaveClicked);
    connect(window.loadButton(), &QPushButton::clicked, this, &Commands::onLoadClicked);
    connect(&window, &MainWindow::closing, this, [this] { transfer_.abandon(); });
    connect(&window, &MainWindow::portChosen, this, &Commands::showChosenPort);
    connect(&window.fieldEditor(), &FieldEditor::changedCountChanged, this,
            [this](int count) { status_.showChanges(count); });
    status_.showSettingsFile(QFile::decodeName(window.settingsPath().c_str()));
    showChosenPort();
}

void Commands::onReadClicked() {
    if (!notices_.confirm(
            tr("READ calibration data from the radio? \r\n Continue?").toStdString()) ||
        !portKnown()) {
        return;
    }
    prepareTransfer();
    transfer_.startRead(window_.portDevice());
}

// A write is refused before anything is sent when a field holds no value it could write. The
// fields go into the image only once the radio's own bytes are in: an edit made until then
// goes to the radio.
void Commands::onWriteClicked() {
    if (!fieldsCanBeWritten() ||
        !notices_.confirm(
            tr("WRITE new calibration data to the radio? \r\n ARE YOU SURE?").toStdString()) ||
        !portKnown()) {
        return;
    }
    prepareTransfer();
    transfer_.startWrite(
        window_.portDevice(),
        [this](CalibrationRecord& image) {
            return textsToImage(window_.fields(), fieldRecord_, image);
        },
        [this](const CalibrationRecord& memory, const Identification& radio) {
            return keepRadioBackup(memory, radio, "write");
        });
}

bool Commands::portKnown() {
    if (window_.portNumber() != 0) {
        return true;
    }
    window_.setPortNumber(static_cast<std::int16_t>(window_.listPorts()));
    showChosenPort();
    notices_.show(tr("No Com Port!").toStdString(), NoticeIcon::None);
    return false;
}

bool Commands::fieldsCanBeWritten() {
    FieldRecord scratch = fieldRecord_;
    if (const auto error = textsToRecord(window_.fields(), scratch)) {
        showStop(tr("Nothing was written to the radio."), fieldProblem(*error));
        return false;
    }
    return true;
}

// The settings are read at every start of a transfer, so an edited file takes effect at once.
void Commands::prepareTransfer() {
    transfer_.setRadioSettings({.accessCode = accessCodeOrDefault(window_.accessCodeText()),
                                .model = window_.modelText()});
    showChosenPort();
}

void Commands::showChosenPort() {
    status_.showPort(window_.portNumber() == 0
                         ? QString()
                         : QString::fromStdString(portEntryText(window_.portNumber())),
                     QString::fromStdString(window_.portDevice()));
}

void Commands::onSaveClicked() {
    dialog_.setFileName(QString());
    if (!dialog_.show(FilePicker::Kind::Save, tr("Save File"))) {
        return;
    }
    const QString path = dialog_.fileName();
    QString failure;
    if (const auto error = textsToRecord(window_.fields(), fieldRecord_)) {
        failure = fieldProblem(*error);
    } else if (const auto fileError = writeDataFile(localPath(path), fieldRecord_)) {
        failure = QString::fromStdString(fileError->message());
    }
    if (!failure.isEmpty()) {
        showStop(tr("The data file was not saved."), failure);
        return;
    }
    status_.showFile(tr("Saved %1").arg(path), path);
}

void Commands::onLoadClicked() {
    if (!dialog_.show(FilePicker::Kind::Open, tr("Open File"))) {
        return;
    }
    const QString path = dialog_.fileName();
    const std::filesystem::path file = localPath(path);
    CalibrationDocument loaded;
    if (const auto error =
            loadCalibration(file, fileKindOf(file).value_or(FileKind::DataFile), loaded)) {
        showStop(tr("The data file was not loaded."), QString::fromStdString(error->message()));
        return;
    }
    fieldRecord_ = loaded.record;
    recordToTexts(fieldRecord_, window_.fields());
    window_.fieldEditor().keepAsUnchanged();
    status_.showFile(tr("Loaded %1").arg(path), path);
}

void Commands::onBlockStarted(TransferKind kind, int block, int count) {
    status_.showProgress(kind, block, count);
}

void Commands::onResting(RestKind kind, int secondsLeft) {
    status_.showRest(kind, secondsLeft);
}

void Commands::onRestOver() {
    status_.clearProgress();
}

void Commands::onIdentified(const Identification& radio) {
    radio_ = radio;
    status_.showRadio(radio);
}

void Commands::onReadCompleted(const CalibrationRecord& image) {
    status_.clearProgress();
    imageToTexts(image, fieldRecord_, window_.fields());
    window_.fieldEditor().keepAsUnchanged();
    if (auto error = keepRadioBackup(image, radio_, "read")) {
        const QString why = QString::fromStdString(*error);
        status_.showFile(tr("No backup kept: %1").arg(why), why);
    }
    notices_.show(tr("Read Complete!").toStdString(), NoticeIcon::None);
}

// Every read, and every write before its first block, leaves a copy of the radio as it was;
// the status line names it. Why it could not be kept, when it could not.
std::optional<std::string> Commands::keepRadioBackup(const CalibrationRecord& memory,
                                                     const Identification& radio,
                                                     std::string_view reason) {
    const auto kept = keepBackup(backupFolder(),
                                 {.model = radio.model,
                                  .version = radio.version,
                                  .time = utcTime(std::chrono::system_clock::now()),
                                  .port = window_.portDevice(),
                                  .memory = memory},
                                 reason);
    if (const auto* path = std::get_if<std::filesystem::path>(&kept)) {
        const QString kept = QString::fromStdString(path->string());
        status_.showFile(tr("Backup kept: %1").arg(kept), kept);
        return std::nullopt;
    }
    return std::get<FileError>(kept).message();
}

void Commands::onWriteCompleted() {
    status_.clearProgress();
    window_.fieldEditor().keepAsUnchanged();
    notices_.show(tr("Write Complete!").toStdString(), NoticeIcon::None);
}

// A headline and, on its own line, the details.
void Commands::showStop(const QString& headline, const QString& detail) {
    notices_.show((headline + "\n" + detail).toStdString(), NoticeIcon::Stop);
}

void Commands::onFailed(const TransferFailure& failure) {
    status_.clearProgress();
    using Kind = TransferFailure::Kind;
    switch (failure.kind) {
        case Kind::PortUnavailable:
            showStop(tr("Cannot Open Communication Port."), QString::fromStdString(failure.reason));
            return;
        case Kind::NoAnswer:
            notices_.show(tr("Communication Error!").toStdString(), NoticeIcon::None);
            return;
        case Kind::ReopenFailed:
            notices_.show(tr("comm error").toStdString(), NoticeIcon::None);
            return;
        case Kind::PortLost:
            notices_.show(tr("The connection to the radio was lost: the cable was unplugged or "
                             "the port went away. The transfer has stopped.")
                              .toStdString(),
                          NoticeIcon::Stop);
            return;
        case Kind::WrongModel:
            notices_.show(tr("Model Type or Frequency Range Error!").toStdString(),
                          NoticeIcon::None);
            return;
        case Kind::InvalidField:
            showStop(tr("Nothing was written to the radio."), fieldProblem(*failure.field));
            return;
        case Kind::BackupFailed:
            showStop(tr("Nothing was written to the radio."),
                     tr("The radio's memory could not be kept as a backup: %1")
                         .arg(QString::fromStdString(failure.reason)));
            return;
    }
}

}  // namespace qv
