#pragma once

#include <QObject>

#include "link/QtAnswerTimer.h"
#include "link/Transfer.h"
#include "link/TransferListener.h"
#include "record/FieldRecord.h"
#include "shell/DataFileDialog.h"
#include "shell/StatusLine.h"

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
// file. It holds the field record for the whole run and the transfer, which keeps all protocol
// state and the radio's memory image; it shows how each transfer goes.
class Commands : public QObject, private TransferListener {
    Q_OBJECT
public:
    Commands(MainWindow& window, CommandServices services);

    void onReadClicked();
    void onWriteClicked();
    void onSaveClicked();
    void onLoadClicked();

    const Transfer& currentTransfer() const { return transfer_; }

private:
    void onBlockStarted(TransferKind kind, int block, int count) override;
    void onIdentified(const Identification& radio) override;
    void onReadCompleted(const CalibrationRecord& image) override;
    void onWriteCompleted() override;
    void onFailed(const TransferFailure& failure) override;
    void onResting(RestKind kind, int secondsLeft) override;
    void onRestOver() override;

    void showStop(const QString& headline, const QString& detail);
    bool portKnown();
    bool fieldsCanBeWritten();
    void showChosenPort();
    void prepareTransfer();
    std::optional<std::string> keepRadioBackup(const CalibrationRecord& memory,
                                               const Identification& radio,
                                               std::string_view reason);

    MainWindow& window_;
    Notices& notices_;
    FieldRecord fieldRecord_;
    // The radio the running transfer talks to, for the name of its backup.
    Identification radio_;
    QtAnswerTimer answerTimer_;
    Transfer transfer_;
    DataFileDialog dialog_;
    StatusLine status_;
};

}  // namespace qv
