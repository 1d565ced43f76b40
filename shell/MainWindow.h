#pragma once

#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ports/PortList.h"
#include "record/FieldTexts.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

namespace qv {

class FieldEditor;
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

// The main window: the field editor's pages, the command buttons, the port list and the two
// timers; start-up, shut-down and the choice of the serial port. Its texts are in the language
// chosen before it is built (useChinese).
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(ShellServices services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Restores the saved port, reminds the user and, once the reminder is closed, shows the
    // window with the keyboard focus in the first field.
    void startUp();

    // The n of the chosen port "COM" n, 0 when none is chosen, and the device behind it.
    std::int16_t portNumber() const { return portNumber_; }
    void setPortNumber(std::int16_t n) { portNumber_ = n; }
    std::string portDevice() const;
    // Rebuilds the port list from the present ports; the number of the first one, 0 if none.
    int listPorts();
    // The re-scan, once a second: the list follows the ports that come and go. Cheap when
    // nothing changed (see PresentPorts).
    void onPortRescan();

    FieldTexts& fields();
    FieldEditor& fieldEditor() { return *pages_; }
    QPushButton* readButton() const { return readButton_; }
    QPushButton* writeButton() const { return writeButton_; }
    QPushButton* saveButton() const { return saveButton_; }
    QPushButton* loadButton() const { return loadButton_; }
    QTimer* answerTimer() const { return answerTimer_; }
    // The [radio] keys of the settings file as written there; empty when missing.
    std::string accessCodeText() const;
    std::string modelText() const;
    const std::string& settingsPath() const;
    // Asked whenever the window is to close (Exit, the close box, the window manager's keys):
    // false keeps it open, with all it does.
    void setCloseGuard(std::function<bool()> mayClose) { mayClose_ = std::move(mayClose); }

signals:
    // The window is closing: the serial port must be closed now.
    void closing();
    // The chosen entry of the port list changed.
    void portChosen();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildCommandRow();
    QPushButton* addButton(const char* name, const QString& caption);
    void showEntries(const std::vector<PortEntry>& entries);
    void choosePort(const std::string& text);
    void showChosenDevice();
    void onPortPicked(int index);

    ShellServices services_;
    FieldEditor* pages_;
    QPushButton* readButton_ = nullptr;
    QPushButton* writeButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* loadButton_ = nullptr;
    QPushButton* exitButton_ = nullptr;
    QComboBox* portList_ = nullptr;
    QTimer* answerTimer_ = nullptr;
    QTimer* portRescanTimer_ = nullptr;
    std::vector<PortEntry> entries_;
    std::int16_t portNumber_ = 0;
    std::function<bool()> mayClose_;
};

}  // namespace qv
