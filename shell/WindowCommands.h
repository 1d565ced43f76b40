#pragma once

#include <QObject>
#include <optional>

#include "link/QtAnswerTimer.h"
#include "record/FieldRecord.h"
#include "shell/DataFileDialog.h"
#include "shell/StatusLine.h"
#include "workflow/CalibrationFiles.h"
#include "workflow/RadioOperations.h"
#include "workflow/TransferLog.h"

namespace qv {

class MainWindow;
class Notices;
class RestRecord;
class SerialPort;
class StepTimer;

// What the commands take from the system; the app passes the real ones, tests their own.
struct CommandServices {
    SerialPort& port;
    StepTimer& steps;
    RestRecord& rests;
    Notices& notices;
    FilePicker& picker;
};

// The window's commands: Read and Write with the radio, Save Data and Load Data with a data
// file. It holds the field record for the whole run; the work with the radio, its backups and
// the words of its outcomes are the workflow's, and this shows them.
class WindowCommands : public QObject, private RadioOperations::Listener {
    Q_OBJECT
public:
    WindowCommands(MainWindow& window, CommandServices services);

    void onReadClicked();
    void onWriteClicked();
    void onSaveClicked();
    void onLoadClicked();

    const Transfer& currentTransfer() const { return work_.transfer(); }

private:
    void onBlockStarted(TransferKind kind, int block, int count) override;
    void onIdentified(const Identification& radio) override;
    void onBackup(const QString& said, const QString& detail) override;
    void onFinished(TransferKind kind, const OperationResult& result) override;
    void onProgressSaid(const QString& said) override;
    void onRestOver() override;
    void onNote(const QString& said) override;

    void show(const Message& message);
    void allowTransfers(bool allowed);
    bool portKnown();
    std::optional<FieldRecord> valuesToWrite();
    bool mayClose();
    void showChosenPort();
    RadioSetup setup();
    void showLoaded(const LoadedFile& file);

    MainWindow& window_;
    Notices& notices_;
    FieldRecord fieldRecord_;
    // From a write's confirmation to its outcome: the values it sends.
    std::optional<FieldRecord> writing_;
    QtAnswerTimer answerTimer_;
    TransferLog log_;
    RadioOperations work_;
    DataFileDialog dialog_;
    StatusLine status_;
    // Said below the outcome of the work under way.
    QString note_;
};

}  // namespace qv
