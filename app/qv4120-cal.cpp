#include <QCoreApplication>
#include <iostream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "datafile/PathText.h"
#include "datafile/Platform.h"
#include "ports/AppFolders.h"
#include "translations/Translations.h"

int main(int argc, char** argv) {
    const QCoreApplication app(argc, argv);
    qv::nameApplication();
    qv::useChinese(qv::isChineseChina(QLocale::system()));
    qv::platform::useUtf8Terminal();
#ifdef Q_OS_WIN
    // Windows gives main its arguments in the ANSI code page, which cannot hold every name; Qt
    // has them whole. The command line is UTF-8 from here on, as it is on Linux.
    std::vector<std::string> arguments;
    for (const QString& argument : QCoreApplication::arguments()) {
        arguments.push_back(argument.toStdString());
    }
    std::vector<char*> pointers;
    for (std::string& argument : arguments) {
        pointers.push_back(argument.data());
    }
    argc = static_cast<int>(pointers.size());
    argv = pointers.data();
#endif
    return qv::cli::runCommandLine(
        argc, argv, std::cout, std::cerr,
        qv::pathFromUtf8(QCoreApplication::applicationDirPath().toStdString()));
}
