#include "shell/WindowCommands.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <utility>

#include "datafile/PathText.h"
#include "fields/FieldEditor.h"
#include "ports/AppFolders.h"
#include "record/Conversions.h"
#include "record/PlainText.h"
#include "shell/MainWindow.h"
#include "shell/Notices.h"
#include "workflow/FieldRules.h"

namespace qv {

namespace {

std::filesystem::path localPath(const QString& path) {
    return pathFromUtf8(path.toStdString());
}

}  // namespace

WindowCommands::WindowCommands(MainWindow& window, CommandServices services)
    : window_(window),
      notices_(services.notices),
      answerTimer_(*window.answerTimer()),
      work_(services.port, answerTimer_, services.steps, services.rests, *this),
      dialog_(services.picker),
      status_(*window.statusBar()) {
    connect(window.readButton(), &QPushButton::clicked, this, &WindowCommands::onReadClicked);
    connect(window.writeButton(), &QPushButton::clicked, this, &WindowCommands::onWriteClicked);
    connect(window.saveButton(), &QPushButton::clicked, this, &WindowCommands::onSaveClicked);
    connect(window.loadButton(), &QPushButton::clicked, this, &WindowCommands::onLoadClicked);
    connect(&window, &MainWindow::closing, this, [this] {
        writing_.reset();
        work_.abandon();
    });
    window.setCloseGuard([this] { return mayClose(); });
    connect(&window, &MainWindow::portChosen, this, &WindowCommands::showChosenPort);
    connect(&window.fieldEditor(), &FieldEditor::changedCountChanged, this,
            [this](int count) { status_.showChanges(count); });
    status_.showSettingsFile(QString::fromStdString(window.settingsPath()));
    showChosenPort();
}

void WindowCommands::onReadClicked() {
    if (!notices_.confirm(
            tr("READ calibration data from the radio? \r\n Continue?").toStdString()) ||
        !portKnown()) {
        return;
    }
    allowTransfers(false);
    log_.begin();
    work_.read(setup());
}

// A write is refused before anything is sent when a field holds no value it could write. It
// sends the values shown when it is confirmed: what the fields get later (an edit, a file
// loaded) waits for the next write, so nothing goes to the radio that nobody confirmed.
void WindowCommands::onWriteClicked() {
    const std::optional<FieldRecord> values = valuesToWrite();
    if (!values ||
        !notices_.confirm(
            tr("WRITE new calibration data to the radio? \r\n ARE YOU SURE?").toStdString()) ||
        !portKnown()) {
        return;
    }
    allowTransfers(false);
    log_.begin();
    writing_ = values;
    work_.write(setup(), [this](CalibrationRecord& image) {
        Q_ASSERT(writing_);
        recordToImage(*writing_, image);
        return std::optional<GatherError>();
    });
}

bool WindowCommands::portKnown() {
    if (window_.portNumber() != 0) {
        return true;
    }
    window_.setPortNumber(static_cast<std::int16_t>(window_.listPorts()));
    showChosenPort();
    notices_.show(tr("No Com Port!").toStdString(), NoticeIcon::None);
    return false;
}

std::optional<FieldRecord> WindowCommands::valuesToWrite() {
    FieldRecord values = fieldRecord_;
    if (const auto error = textsToRecord(window_.fields(), values)) {
        show(Wording::fieldStopsWrite(*error));
        return std::nullopt;
    }
    return values;
}

// A write cut off among its blocks leaves the radio half written, and such a radio may not
// work: closing asks first, No being the default. Outside a write, closing ends what runs.
bool WindowCommands::mayClose() {
    return !writing_ || notices_.ask(tr("A write is in progress. Closing now can leave the radio "
                                        "half written. Close anyway?")
                                         .toStdString());
}

// The settings are read at every start of a transfer, so an edited file takes effect at once.
RadioSetup WindowCommands::setup() {
    showChosenPort();
    return {.port = {.name = portEntryText(window_.portNumber()), .device = window_.portDevice()},
            .settings = {.accessCode = accessCodeOrDefault(window_.accessCodeText()),
                         .model = window_.modelText()},
            .backupFolder = backupFolder()};
}

void WindowCommands::showChosenPort() {
    status_.showPort(window_.portNumber() == 0
                         ? QString()
                         : QString::fromStdString(portEntryText(window_.portNumber())),
                     QString::fromStdString(window_.portDevice()));
}

void WindowCommands::onSaveClicked() {
    dialog_.setFileName(QString());
    if (!dialog_.show(FilePicker::Kind::Save, tr("Save File"))) {
        return;
    }
    const QString path = dialog_.fileName();
    if (const auto error = textsToRecord(window_.fields(), fieldRecord_)) {
        show(Wording::fieldStopsSave(*error));
        return;
    }
    if (const auto saved =
            saveCalibration(localPath(path), FileKind::DataFile, {fieldRecord_, std::nullopt});
        !saved) {
        show(Wording::fileNotSaved(saved.error()));
        return;
    }
    status_.showFile(tr("Saved %1").arg(path), path);
}

void WindowCommands::onLoadClicked() {
    if (!dialog_.show(FilePicker::Kind::Open, tr("Open File"))) {
        return;
    }
    const QString path = dialog_.fileName();
    const auto loaded = loadFile(localPath(path), FileKind::DataFile);
    if (!loaded) {
        show(Wording::fileNotLoaded(loaded.error()));
        return;
    }
    showLoaded(*loaded);
    status_.showFile(tr("Loaded %1").arg(path), path);
}

// A value a person put out of range is kept as the file holds it, then brought into range by
// its field's change rule, so that the field shows as changed.
void WindowCommands::showLoaded(const LoadedFile& file) {
    fieldRecord_ = file.document.record;
    recordToTexts(fieldRecord_, window_.fields());
    FieldEditor& editor = window_.fieldEditor();
    for (const ValueOutOfRange& v : file.outOfRange) {
        const QSignalBlocker asWritten(editor.fieldEdit(v.field));
        editor.fieldEdit(v.field)->setText(QString::number(v.value));
    }
    editor.keepAsUnchanged();
    for (const ValueOutOfRange& v : file.outOfRange) {
        editor.setText(v.field, std::to_string(valueAfterFieldRules(v.field, v.value)));
    }
}

void WindowCommands::onBlockStarted(TransferKind kind, int block, int count) {
    status_.showProgress(kind, block, count);
}

void WindowCommands::onProgressSaid(const QString& said) {
    status_.showRest(said);
}

void WindowCommands::onRestOver() {
    status_.clearProgress();
}

// The radio's model and version are bytes: shown escaped where not printable ASCII.
void WindowCommands::onIdentified(const Identification& radio) {
    status_.showRadio({.model = escapeBytes(radio.model), .version = escapeBytes(radio.version)});
}

// Every read, and every write before its first block, leaves a copy of the radio as it was;
// the status line names it, or says why it could not be kept.
void WindowCommands::onBackup(const QString& said, const QString& detail) {
    status_.showFile(said, detail);
}

void WindowCommands::onNote(const QString& said) {
    note_ = said;
}

// After a write, a field marked changed is one whose value differs from what was written.
void WindowCommands::onFinished(TransferKind kind, const OperationResult& result) {
    const std::optional<FieldRecord> written = std::exchange(writing_, std::nullopt);
    Q_ASSERT(kind != TransferKind::Write || written);
    allowTransfers(true);
    status_.clearProgress();
    const QString note = std::exchange(note_, {});
    const std::optional<std::filesystem::path> log = log_.keep(logFolder(), kind);
    if (result.failure) {
        Message message = *result.failure;
        message.detail = joinLines(message.detail, note);
        if (log) {
            message.detail = joinLines(message.detail, Wording::transferLogKept(*log));
        }
        show(message);
        return;
    }
    if (kind == TransferKind::Read) {
        imageToTexts(result.memory, fieldRecord_, window_.fields());
        window_.fieldEditor().keepAsUnchanged();
    } else if (written) {
        window_.fieldEditor().keepAsUnchanged(*written);
    }
    notices_.show(
        joinLines(kind == TransferKind::Read ? Wording::readComplete() : Wording::writeComplete(),
                  note)
            .toStdString(),
        NoticeIcon::None);
}

// One transfer at a time: another started meanwhile would end the first wherever it stands, a
// write among its blocks or while the radio stores them. A Read or Write pressed while the radio
// rests after an outcome waits for the rest.
void WindowCommands::allowTransfers(bool allowed) {
    window_.readButton()->setEnabled(allowed);
    window_.writeButton()->setEnabled(allowed);
}

void WindowCommands::show(const Message& message) {
    notices_.show(message.text().toStdString(),
                  message.critical ? NoticeIcon::Stop : NoticeIcon::None);
}

}  // namespace qv
