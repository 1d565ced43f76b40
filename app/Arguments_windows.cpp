#include "app/Arguments.h"

#include <QCoreApplication>

namespace qv {

// Windows gives main its arguments in the ANSI code page, which cannot hold every name; Qt has
// them whole.
std::vector<std::string> utf8Arguments(int /*argc*/, char** /*argv*/) {
    std::vector<std::string> arguments;
    for (const QString& argument : QCoreApplication::arguments()) {
        arguments.push_back(argument.toStdString());
    }
    return arguments;
}

}  // namespace qv
