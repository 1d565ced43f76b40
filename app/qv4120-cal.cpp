#include <QCoreApplication>
#include <filesystem>
#include <iostream>

#include "cli/CommandLine.h"
#include "ports/AppFolders.h"
#include "translations/Translations.h"

int main(int argc, char** argv) {
    const QCoreApplication app(argc, argv);
    qv::nameApplication();
    qv::useChinese(qv::isChineseChina(QLocale::system()));
    return qv::cli::runCommandLine(
        argc, argv, std::cout, std::cerr,
        std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()));
}
