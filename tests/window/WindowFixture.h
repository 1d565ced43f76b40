#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "fields/FieldEditor.h"
#include "link/SerialPortAdapter.h"
#include "ports/SettingsFile.h"
#include "record/FieldCatalogue.h"
#include "shell/MainWindow.h"
#include "shell/MessageBoxNotices.h"
#include "shell/WindowCommands.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/FakeRestRecord.h"
#include "tests/support/InstantStepTimer.h"
#include "tests/support/RadioProcess.h"
#include "tests/support/ShellFakes.h"
#include "translations/Translations.h"

namespace qv::test {

inline bool isChinese(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF; });
}

// The window and its commands as the app builds them, over fakes and the real serial port, with
// the settings file in a fresh folder and the simulated radio ready to start there.
class WindowTest : public testing::Test {
protected:
    // Builds the window over these ports, in the language of the locale as the app does, runs
    // its start-up, which shows it; the start-up's reminder is answered and forgotten.
    void open(std::vector<PresentPort> present = {}) {
        ports.present = std::move(present);
        useChinese(locale.isChineseChina());
        qputenv("XDG_DATA_HOME", path("data").toLocal8Bit());
        commands.reset();
        window = std::make_unique<MainWindow>(ShellServices{notices, locale, ports, settings});
        commands = std::make_unique<WindowCommands>(
            *window, CommandServices{serialPort, steps, rests, notices, picker});
        window->startUp();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        notices.shown.clear();
    }
    // Starts the simulated radio with this memory, then the window with the radio as COM9.
    void openOnRadio(const RadioProcess::Memory& memory, const QStringList& options = {}) {
        writeFile(path("radio.bin"), QByteArray(reinterpret_cast<const char*>(memory.data()),
                                                static_cast<qsizetype>(memory.size())));
        device = radio.start(options);
        open({port(9, device)});
    }

    QLineEdit* edit(int i) const { return window->findChild<FieldEditor*>()->fieldEdit(i); }
    QString path(const char* name) const { return dir.filePath(name); }
    QString status(const char* part) const { return window->findChild<QLabel*>(part)->text(); }
    // The text of every field, which are all the boxes the window has.
    QStringList shown() const {
        QStringList texts;
        for (const QLineEdit* box : window->findChildren<QLineEdit*>()) {
            texts << box->text();
        }
        return texts;
    }
    // Replaces the field's text key by key, as a user does ("\b" is Backspace).
    void type(int field, const QString& text) const {
        edit(field)->selectAll();
        QTest::keyClicks(edit(field), text);
    }
    // Clicks the button, forgetting the messages before; the file dialog it shows, if any, chooses
    // this file or is cancelled.
    void click(QPushButton* button, const char* file = nullptr) {
        notices.shown.clear();
        picker.next = file ? std::optional(path(file)) : std::nullopt;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // Clicks, then waits for the first message, which ends a transfer; "" when none comes.
    std::string clickForMessage(QPushButton* button, const char* file = nullptr) {
        click(button, file);
        return outcome();
    }
    // A failure's last line, naming the transfer's log file, is left out (see logOf).
    std::string outcome() {
        waitUntil([&] { return !notices.shown.empty(); }, std::chrono::seconds(15));
        const std::string text = notices.shown.empty() ? "" : notices.shown.front().text;
        return text.substr(0, text.find(logLineStart()));
    }
    // The log file a message names, or "".
    std::string logOf(const std::string& message) const {
        const auto at = message.find(logLineStart());
        return at == std::string::npos ? "" : message.substr(at + logLineStart().size());
    }
    std::string logLineStart() const { return "\n" + Wording::transferLogKept("").toStdString(); }
    // With QV_SCREENSHOTS set to a folder, saves the window (or another) there as <name>.png,
    // in 256 colours to keep the files small enough to commit.
    void screenshot(const QString& name, QWidget* shot = nullptr) const {
        QCoreApplication::processEvents();  // the layouts follow the last changes of text
        shot = shot != nullptr ? shot : window.get();
        const QImage image = shot->grab().toImage().convertToFormat(QImage::Format_Indexed8);
        if (const QString folder = qEnvironmentVariable("QV_SCREENSHOTS"); !folder.isEmpty()) {
            image.save(folder + "/" + name + ".png");
        }
    }
    // The same for the message box that shows this message.
    void screenshot(const QString& name, const ScriptedNotices::Shown& message) const {
        MessageBoxNotices boxes;
        boxes.setParent(window.get());
        const std::unique_ptr<QMessageBox> box = boxes.messageBox(message.text, message.icon);
        box->show();
        screenshot(name, box.get());
    }

    QTemporaryDir dir;
    FakeLocale locale;
    FakePorts ports;
    ScriptedNotices notices;
    ScriptedPicker picker;
    SettingsFile settings{path("mysetup.ini").toStdString()};
    SerialPortAdapter serialPort;
    InstantStepTimer steps;
    FakeRestRecord rests;
    RadioProcess radio{path("radio.bin"), path("radio.log")};
    std::string device;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<WindowCommands> commands;

    void TearDown() override { useChinese(false); }
};

}  // namespace qv::test
