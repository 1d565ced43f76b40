#pragma once

#include <QObject>

#include "link/QtAnswerTimer.h"
#include "link/Transfer.h"
#include "record/CalibrationRecord.h"
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

// The window's commands: Read and Write with the radio, Save Data and Load Data with a data
// file. It holds the calibration record and the field record for the whole run, and the
// transfer, which keeps all protocol state; the window only shows.
class Commands : public QObject {
    Q_OBJECT
public:
    Commands(MainWindow& window, CommandServices services);

    void Command1_Click();
    void Command2_Click();
    void cmd_Click();
    void Command4_Click();

    const Transfer& currentTransfer() const { return transfer_; }

private:
    bool portKnown();
    bool fieldsCanBeWritten();
    void showChosenPort();
    void prepareTransfer();

    MainWindow& window_;
    Notices& notices_;
    CalibrationRecord record_;
    FieldRecord fieldRecord_;
    QtAnswerTimer answerTimer_;
    Transfer transfer_;
    DataFileDialog dialog_;
    StatusLine status_;
};

}  // namespace qv
