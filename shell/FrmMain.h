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
    std::int16_t LanguageId() const { return languageId_; }
    // The n of the chosen port "COM" n, 0 when none is chosen, and the device behind it.
    std::int16_t ComPortNo() const { return comPortNo_; }
    void SetComPortNo(std::int16_t n) { comPortNo_ = n; }
    std::string ComPortDevice() const;
    // Rebuilds the port list from the present ports; the number of the first one, 0 if none.
    int ListComPorts();
    void ReShowComPortTimer_Timer();

    FieldTexts& Fields();
    QPushButton* ReadButton() const { return command1_; }
    QPushButton* WriteButton() const { return command2_; }
    QPushButton* SaveButton() const { return cmd_; }
    QPushButton* LoadButton() const { return command4_; }
    QTimer* WaitTimer() const { return waitTimer_; }
    // The [radio] keys of the settings file as written there; empty when missing.
    std::string AccessCodeText() const;
    std::string ModelText() const;

signals:
    // The window is closing: the serial port must be closed now.
    void Unloading();
    // The chosen entry of the port list changed.
    void PortChosen();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* BuildCommandRow();
    QPushButton* AddButton(const char* name, const char* caption);
    void ShowEntries(const std::vector<PortEntry>& entries);
    void ChoosePort(const std::string& text);
    void ShowChosenDevice();
    void SetLanguage();
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
