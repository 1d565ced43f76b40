// The one main of the tests that need a Qt event loop: GoogleTest on a widget application,
// offscreen unless a platform is asked for.
#include <gtest/gtest.h>

#include <QApplication>

#include "ports/AppFolders.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Also when CTest lists the tests, which it does without the tests' environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    // The folders of the programs themselves, which tests point elsewhere through XDG_*_HOME.
    qv::nameApplication();
    return RUN_ALL_TESTS();
}
