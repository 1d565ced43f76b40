#include <QApplication>
#include <QFont>
#include <cstdio>
#include <string_view>

#include "datafile/PathText.h"
#include "link/FileRestRecord.h"
#include "link/QtStepTimer.h"
#include "link/SerialPortAdapter.h"
#include "ports/AppFolders.h"
#include "ports/PresentPorts.h"
#include "ports/SettingsFile.h"
#include "shell/DataFileDialog.h"
#include "shell/MainWindow.h"
#include "shell/MessageBoxNotices.h"
#include "shell/QtSystemLocale.h"
#include "shell/WindowCommands.h"
#include "translations/Translations.h"

namespace {

constexpr char kHelp[] =
    "Usage: qv4120-settestdata [--help | --version]\n"
    "Reads the calibration memory of a QV-4120 radio over a serial port, shows it as 78 fields\n"
    "to edit, keeps it in data files and writes it back into the radio.\n"
    "\n"
    "The settings file is mysetup.ini beside the program when one is there, otherwise\n"
    "$XDG_CONFIG_HOME/qv4120-settestdata/mysetup.ini (~/.config/... by default), made on\n"
    "first use. Every read keeps the radio's memory as a backup in\n"
    "$XDG_DATA_HOME/qv4120-settestdata/backups/ (~/.local/share/... by default).\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this help and exit\n"
    "      --version  show the program's version and exit\n"
    "Qt's own options (-platform, -style, ...) are taken as well.\n";

// Answered before the application starts, so that they need no display.
bool answeredWithoutWindow(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--help" || option == "-h") {
            std::fputs(kHelp, stdout);
            return true;
        }
        if (option == "--version") {
            std::puts("qv4120-settestdata " QV_VERSION);
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (answeredWithoutWindow(argc, argv)) {
        return 0;
    }
    QApplication app(argc, argv);
    qv::nameApplication();
    app.setFont(QFont("Arial", 9));
    // The desktop finds the window's entry and icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(QV_APP_ID));

    const qv::SettingsFile settings(qv::utf8Text(qv::settingsFilePath(
        qv::pathFromUtf8(QCoreApplication::applicationDirPath().toStdString()))));
    qv::QtSystemLocale locale;
    qv::useChinese(locale.isChineseChina());
    const auto ports = qv::systemPorts(settings.configuredPorts(), qv::PortLookups::EverySecond);
    qv::MessageBoxNotices notices;
    qv::SerialPortAdapter serialPort;
    qv::QtStepTimer steps;
    qv::FileRestRecord rests(qv::restFolder());

    qv::MainWindow window({notices, locale, *ports, settings});
    qv::QtFilePicker picker(&window);
    qv::WindowCommands commands(window, {serialPort, steps, rests, notices, picker});
    window.startUp();
    notices.setParent(&window);
    return QApplication::exec();
}
