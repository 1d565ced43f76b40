#include <QApplication>
#include <QFile>
#include <QFont>

#include "link/QtPause.h"
#include "link/SerialPortAdapter.h"
#include "ports/SettingsFile.h"
#include "shell/Commands.h"
#include "shell/DataFileDialog.h"
#include "shell/MainWindow.h"
#include "shell/MessageBoxNotices.h"
#include "shell/QtSystemLocale.h"
#include "translations/Translations.h"
#ifdef _WIN32
#include "ports/WindowsPorts.h"
#else
#include "ports/LinuxPorts.h"
#include "ports/SerialDeviceCache.h"
#endif

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setFont(QFont("Arial", 9));

    const qv::SettingsFile settings(
        qv::settingsFilePath(
            QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString())
            .string());
    qv::QtSystemLocale locale;
    qv::useChinese(locale.isChineseChina());
#ifdef _WIN32
    qv::WindowsPorts ports;
#else
    // The window looks each second: at the [ports] paths, and at the system's devices only after
    // one came or went.
    qv::SerialDeviceCache systemDevices;
    qv::LinuxPorts ports(settings.configuredPorts(), [&] { return systemDevices.devices(); });
#endif
    qv::MessageBoxNotices notices;
    qv::SerialPortAdapter serialPort;
    qv::QtPause pause;

    qv::MainWindow window({notices, locale, ports, settings});
    qv::QtFilePicker picker(&window);
    qv::Commands commands(window, {serialPort, pause, notices, picker});
    window.startUp();
    notices.setParent(&window);
    window.show();
    return QApplication::exec();
}
