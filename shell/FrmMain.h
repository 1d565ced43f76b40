#pragma once

#include <QMainWindow>
#include <cstdint>
#include <string>
#include <vector>

#include "record/FieldTexts.h"
#include "shell/ComPorts.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTimer;

namespace qv {

class FieldTextBoxes;
class Notices;
class PresentPorts;
class SettingsFile;
class SystemLocale;

// What the window takes from the system; the app passes the real ones, tests their own.
struct ShellServices {
    Notices& notices;
    const SystemLocale& locale;
    PresentPorts& ports;
    const SettingsFile& settings;
};

inline constexpr char kReminder[] =
    "Please READ and SAVE (backup) the calibration data before making any changes.";

// The main window: the tab control with the 78 fields, the command buttons, the port list
// and the two timers; start-up, shut-down, language and the choice of the serial port.
class FrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit FrmMain(ShellServices services, QWidget* parent = nullptr);
    ~FrmMain() override;

    // Start-up, before the window is first shown: ends when the user closes the reminder.
    void Form_Load();

    // 1 English, 2 Simplified Chinese.
    std::int16_t languageId() const { return languageId_; }
    // The n of the chosen port "COM" n, 0 when none is chosen, and the device behind it.
    std::int16_t comPortNo() const { return comPortNo_; }
    void setComPortNo(std::int16_t n) { comPortNo_ = n; }
    std::string comPortDevice() const;
    // Rebuilds the port list from the present ports; the number of the first one, 0 if none.
    int listPorts();
    void ReShowComPortTimer_Timer();

    FieldTexts& fields();
    QPushButton* readButton() const { return command1_; }
    QPushButton* writeButton() const { return command2_; }
    QPushButton* saveButton() const { return cmd_; }
    QPushButton* loadButton() const { return command4_; }
    QTimer* waitTimer() const { return waitTimer_; }
    // The [radio] keys of the settings file as written there; empty when missing.
    std::string accessCodeText() const;
    std::string modelText() const;

signals:
    // The window is closing: the serial port must be closed now.
    void unloading();
    // The chosen entry of the port list changed.
    void portChosen();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildCommandRow();
    QPushButton* addButton(const char* name, const char* caption);
    void showEntries(const std::vector<PortEntry>& entries);
    void choosePort(const std::string& text);
    void showChosenDevice();
    void setLanguage();
    void Combo2_Click(int index);
    void Form_Unload();

    ShellServices services_;
    FieldTextBoxes* boxes_;
    QTabWidget* ssTab1_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QPushButton* cmd_ = nullptr;
    QPushButton* command4_ = nullptr;
    QPushButton* command3_ = nullptr;
    QComboBox* combo2_ = nullptr;
    QLabel* comDevice_ = nullptr;
    QTimer* waitTimer_ = nullptr;
    QTimer* reShowComPortTimer_ = nullptr;
    std::vector<PortEntry> entries_;
    std::int16_t comPortNo_ = 0;
    std::int16_t languageId_ = 1;
};

}  // namespace qv
