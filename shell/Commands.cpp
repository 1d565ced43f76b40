#include "shell/Commands.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QStatusBar>

#include "datafile/DataFile.h"
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
      transfer_(services.port, answerTimer_, services.pause, services.notices, window.fields(),
                record_, fieldRecord_),
      dialog_(services.picker),
      status_(*window.statusBar()) {
    transfer_.setObserver(&status_);
    connect(window.readButton(), &QPushButton::clicked, this, &Commands::Command1_Click);
    connect(window.writeButton(), &QPushButton::clicked, this, &Commands::Command2_Click);
    connect(window.saveButton(), &QPushButton::clicked, this, &Commands::cmd_Click);
    connect(window.loadButton(), &QPushButton::clicked, this, &Commands::Command4_Click);
    connect(&window, &MainWindow::closing, this, [this] { transfer_.closeCommPort(); });
    connect(&window, &MainWindow::portChosen, this, &Commands::showChosenPort);
    showChosenPort();
}

void Commands::Command1_Click() {
    if (!notices_.confirm(kReadQuestion) || !portKnown()) {
        return;
    }
    prepareTransfer();
    transfer_.startRead(window_.portDevice());
}

// A write is refused before anything is sent when a field holds no value it could write.
void Commands::Command2_Click() {
    if (!fieldsCanBeWritten() || !notices_.confirm(kWriteQuestion) || !portKnown()) {
        return;
    }
    prepareTransfer();
    transfer_.startWrite(window_.portDevice());
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
    transfer_.setLanguageId(window_.language() == Language::Chinese ? kLanguageChinese
                                                                    : kLanguageEnglish);
    showChosenPort();
}

void Commands::showChosenPort() {
    status_.showPort(window_.portNumber() == 0
                         ? QString()
                         : QString::fromStdString(portEntryText(window_.portNumber())),
                     QString::fromStdString(window_.portDevice()));
}

void Commands::cmd_Click() {
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

void Commands::Command4_Click() {
    if (!dialog_.show(FilePicker::Kind::Open, QStringLiteral("Open File"))) {
        return;
    }
    const QString path = dialog_.fileName();
    if (const auto error = readDataFile(localPath(path), fieldRecord_)) {
        notices_.show("The data file was not loaded.\n" + error->message(), NoticeIcon::Stop);
        return;
    }
    recordToTexts(fieldRecord_, window_.fields());
    status_.showFile(QStringLiteral("Loaded"), path);
}

}  // namespace qv
