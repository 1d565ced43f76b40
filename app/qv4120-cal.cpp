#include <QCoreApplication>
#include <iostream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "datafile/PathText.h"
#include "platform/Arguments.h"
#include "platform/Terminal.h"
#include "ports/AppFolders.h"
#include "translations/Translations.h"

int main(int argc, char** argv) {
    const QCoreApplication app(argc, argv);
    qv::nameApplication();
    qv::useChinese(qv::isChineseChina(QLocale::system()));
    qv::platform::useUtf8Terminal();
    // The command line is UTF-8 from here on, on every system.
    std::vector<std::string> arguments = qv::platform::utf8Arguments(argc, argv);
    std::vector<char*> pointers;
    pointers.reserve(arguments.size());
    for (std::string& argument : arguments) {
        pointers.push_back(argument.data());
    }
    return qv::cli::runCommandLine(
        static_cast<int>(pointers.size()), pointers.data(), std::cout, std::cerr,
        qv::pathFromUtf8(QCoreApplication::applicationDirPath().toStdString()));
}
