#include "shell/Commands.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QStatusBar>

#include "datafile/DataFile.h"
#include "link/Notices.h"
#include "record/Conversions.h"
#include "shell/FrmMain.h"

namespace qv {

namespace {

std::filesystem::path LocalPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

}  // namespace

Commands::Commands(FrmMain& window, CommandServices services)
    : window_(window),
      notices_(services.notices),
      answerTimer_(*window.WaitTimer()),
      transfer_(services.port, answerTimer_, services.pause, services.notices, window.Fields(),
                record_, fieldRecord_),
      dialog_(services.picker),
      status_(*window.statusBar()) {
    transfer_.SetObserver(&status_);
    connect(window.ReadButton(), &QPushButton::clicked, this, &Commands::Command1_Click);
    connect(window.WriteButton(), &QPushButton::clicked, this, &Commands::Command2_Click);
    connect(window.SaveButton(), &QPushButton::clicked, this, &Commands::cmd_Click);
    connect(window.LoadButton(), &QPushButton::clicked, this, &Commands::Command4_Click);
    connect(&window, &FrmMain::Unloading, this, [this] { transfer_.CloseCommPort(); });
    connect(&window, &FrmMain::PortChosen, this, &Commands::ShowChosenPort);
    ShowChosenPort();
}

void Commands::Command1_Click() {
    if (!notices_.Confirm(kReadQuestion) || !PortKnown()) {
        return;
    }
    PrepareTransfer();
    transfer_.StartRead(window_.ComPortDevice());
}

// A write is refused before anything is sent when a field holds no value it could write.
void Commands::Command2_Click() {
    if (!FieldsCanBeWritten() || !notices_.Confirm(kWriteQuestion) || !PortKnown()) {
        return;
    }
    PrepareTransfer();
    transfer_.StartWrite(window_.ComPortDevice());
}

bool Commands::PortKnown() {
    if (window_.ComPortNo() != 0) {
        return true;
    }
    window_.SetComPortNo(static_cast<std::int16_t>(window_.ListComPorts()));
    ShowChosenPort();
    notices_.Show(kNoComPort, NoticeIcon::None);
    return false;
}

bool Commands::FieldsCanBeWritten() {
    FieldRecord scratch = fieldRecord_;
    if (const auto error = GetRecordByShow(window_.Fields(), scratch)) {
        notices_.Show(std::string(kWriteStopped) + "\n" + error->Message(), NoticeIcon::Stop);
        return false;
    }
    return true;
}

// The settings are read at every start of a transfer, so an edited file takes effect at once.
void Commands::PrepareTransfer() {
    transfer_.SetRadioSettings({.accessCode = AccessCodeOrDefault(window_.AccessCodeText()),
                                .model = window_.ModelText()});
    transfer_.SetLanguageId(window_.LanguageId());
    ShowChosenPort();
}

void Commands::ShowChosenPort() {
    status_.ShowPort(window_.ComPortNo() == 0
                         ? QString()
                         : QString::fromStdString(ComPortText(window_.ComPortNo())),
                     QString::fromStdString(window_.ComPortDevice()));
}

void Commands::cmd_Click() {
    dialog_.SetFileName(QString());
    if (!dialog_.Show(FilePicker::Kind::Save, QStringLiteral("Save File"))) {
        return;
    }
    const QString path = dialog_.FileName();
    std::optional<std::string> failure;
    if (const auto error = GetRecordByShow(window_.Fields(), fieldRecord_)) {
        failure = error->Message();
    } else if (const auto fileError = WriteDataFile(LocalPath(path), fieldRecord_)) {
        failure = fileError->Message();
    }
    if (failure) {
        notices_.Show("The data file was not saved.\n" + *failure, NoticeIcon::Stop);
        return;
    }
    status_.ShowFile(QStringLiteral("Saved"), path);
}

void Commands::Command4_Click() {
    if (!dialog_.Show(FilePicker::Kind::Open, QStringLiteral("Open File"))) {
        return;
    }
    const QString path = dialog_.FileName();
    if (const auto error = ReadDataFile(LocalPath(path), fieldRecord_)) {
        notices_.Show("The data file was not loaded.\n" + error->Message(), NoticeIcon::Stop);
        return;
    }
    ShowByRecord(fieldRecord_, window_.Fields());
    status_.ShowFile(QStringLiteral("Loaded"), path);
}

}  // namespace qv
