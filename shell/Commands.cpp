#include "shell/Commands.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QStatusBar>

#include "datafile/Backups.h"
#include "datafile/CalibrationDocument.h"
#include "datafile/DataFile.h"
#include "fields/FieldEditor.h"
#include "record/Conversions.h"
#include "shell/MainWindow.h"
#include "shell/Notices.h"

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
      transfer_(services.port, answerTimer_, services.pause, *this),
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
    if (!notices_.confirm(kReadQuestion) || !portKnown()) {
        return;
    }
    prepareTransfer();
    transfer_.startRead(window_.portDevice());
}

// A write is refused before anything is sent when a field holds no value it could write. The
// fields go into the image only once the radio's own bytes are in: an edit made until then
// goes to the radio.
void Commands::onWriteClicked() {
    if (!fieldsCanBeWritten() || !notices_.confirm(kWriteQuestion) || !portKnown()) {
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
    notices_.show(kNoComPort, NoticeIcon::None);
    return false;
}

bool Commands::fieldsCanBeWritten() {
    FieldRecord scratch = fieldRecord_;
    if (const auto error = textsToRecord(window_.fields(), scratch)) {
        notices_.show(std::string(kWriteStopped) + "\n" + error->message(), NoticeIcon::Stop);
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
    if (!dialog_.show(FilePicker::Kind::Save, QStringLiteral("Save File"))) {
        return;
    }
    const QString path = dialog_.fileName();
    std::optional<std::string> failure;
    if (const auto error = textsToRecord(window_.fields(), fieldRecord_)) {
        failure = error->message();
    } else if (const auto fileError = writeDataFile(localPath(path), fieldRecord_)) {
        failure = fileError->message();
    }
    if (failure) {
        notices_.show("The data file was not saved.\n" + *failure, NoticeIcon::Stop);
        return;
    }
    status_.showFile(QStringLiteral("Saved"), path);
}

void Commands::onLoadClicked() {
    if (!dialog_.show(FilePicker::Kind::Open, QStringLiteral("Open File"))) {
        return;
    }
    const QString path = dialog_.fileName();
    const std::filesystem::path file = localPath(path);
    CalibrationDocument loaded;
    if (const auto error =
            loadCalibration(file, fileKindOf(file).value_or(FileKind::DataFile), loaded)) {
        notices_.show("The data file was not loaded.\n" + error->message(), NoticeIcon::Stop);
        return;
    }
    fieldRecord_ = loaded.record;
    recordToTexts(fieldRecord_, window_.fields());
    window_.fieldEditor().keepAsUnchanged();
    status_.showFile(QStringLiteral("Loaded"), path);
}

void Commands::onBlockStarted(TransferKind kind, int block, int count) {
    status_.showProgress(kind, block, count);
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
        status_.showFile(QStringLiteral("No backup kept:"), QString::fromStdString(*error));
    }
    notices_.show(kReadComplete, NoticeIcon::None);
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
        status_.showFile(QStringLiteral("Backup kept:"), QString::fromStdString(path->string()));
        return std::nullopt;
    }
    return std::get<FileError>(kept).message();
}

void Commands::onWriteCompleted() {
    status_.clearProgress();
    window_.fieldEditor().keepAsUnchanged();
    notices_.show(kWriteComplete, NoticeIcon::None);
}

void Commands::onFailed(const TransferFailure& failure) {
    status_.clearProgress();
    using Kind = TransferFailure::Kind;
    switch (failure.kind) {
        case Kind::PortUnavailable:
            notices_.show(std::string(kCannotOpenPort) + "\n" + failure.reason, NoticeIcon::Stop);
            return;
        case Kind::NoAnswer:
            notices_.show(kCommunicationError, NoticeIcon::None);
            return;
        case Kind::ReopenFailed:
            notices_.show(kResendError, NoticeIcon::None);
            return;
        case Kind::PortLost:
            notices_.show(kPortLost, NoticeIcon::Stop);
            return;
        case Kind::WrongModel:
            notices_.show(
                window_.language() == Language::English ? kModelErrorEnglish : kModelErrorChinese,
                NoticeIcon::None);
            return;
        case Kind::InvalidField:
            notices_.show(std::string(kWriteStopped) + "\n" + failure.field->message(),
                          NoticeIcon::Stop);
            return;
        case Kind::BackupFailed:
            notices_.show(std::string(kWriteStopped) + "\n" + kBackupNotKept + failure.reason,
                          NoticeIcon::Stop);
            return;
    }
}

}  // namespace qv
