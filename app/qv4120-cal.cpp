#include <QCoreApplication>
#include <filesystem>
#include <iostream>

#include "cli/CommandLine.h"

int main(int argc, char** argv) {
    const QCoreApplication app(argc, argv);
    return qv::cli::runCommandLine(
        argc, argv, std::cout, std::cerr,
        std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()));
}
