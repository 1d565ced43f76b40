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
class Pause;
class SerialPort;

// What the commands take from the system; the app passes the real ones, tests their own.
struct CommandServices {
    SerialPort& port;
    Pause& pause;
    Notices& notices;
    FilePicker& picker;
};

inline constexpr char kReadQuestion[] = "READ calibration data from the radio? \r\n Continue?";
inline constexpr char kWriteQuestion[] =
    "WRITE new calibration data to the radio? \r\n ARE YOU SURE?";
inline constexpr char kNoComPort[] = "No Com Port!";

// How a transfer ends, as the window says it.
inline constexpr char kCannotOpenPort[] = "Cannot Open Communication Port.";
inline constexpr char kCommunicationError[] = "Communication Error!";
inline constexpr char kResendError[] = "comm error";
inline constexpr char kReadComplete[] = "Read Complete!";
inline constexpr char kWriteComplete[] = "Write Complete!";
inline constexpr char kModelErrorEnglish[] = "Model Type or Frequency Range Error!";
inline constexpr char kModelErrorChinese[] = "机型或频段错误!";
inline constexpr char kPortLost[] =
    "The connection to the radio was lost: the cable was unplugged or the port went away. "
    "The transfer has stopped.";
inline constexpr char kWriteStopped[] = "Nothing was written to the radio.";
inline constexpr char kBackupNotKept[] = "The radio's memory could not be kept as a backup: ";

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
