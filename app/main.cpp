#include <QApplication>
#include <QDir>
#include <QFont>

#include "link/QtPause.h"
#include "link/SerialPortAdapter.h"
#include "shell/Commands.h"
#include "shell/CommonDialog.h"
#include "shell/FrmMain.h"
#include "shell/MessageBoxNotices.h"
#include "shell/QtSystemLocale.h"
#include "shell/SettingsFile.h"
#ifdef _WIN32
#include "shell/WindowsPorts.h"
#else
#include "shell/LinuxPorts.h"
#endif

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setFont(QFont("Arial", 9));

    const qv::SettingsFile settings(
        QDir(QCoreApplication::applicationDirPath()).filePath("mysetup.ini").toStdString());
    qv::QtSystemLocale locale;
#ifdef _WIN32
    qv::WindowsPorts ports;
#else
    qv::LinuxPorts ports(settings.configuredPorts());
#endif
    qv::MessageBoxNotices notices;
    qv::SerialPortAdapter serialPort;
    qv::QtPause pause;

    qv::FrmMain window({notices, locale, ports, settings});
    qv::QtFilePicker picker(&window);
    qv::Commands commands(window, {serialPort, pause, notices, picker});
    window.Form_Load();
    notices.setParent(&window);
    window.show();
    return QApplication::exec();
}
