#include "cli/Subcommands.h"

namespace qv::cli {

Show::Show() : Command("show", "Show the 78 fields of FILE") {}

void Show::addOptions(CLI::App& command) {
    addFileOption(command, "FILE", file_, "The data file or document")->required();
    command.add_flag("--json", json_, "Show the calibration document");
}

ExitCode Show::execute() {
    LoadedFile file;
    if (auto code = load(file_, file)) {
        return *code;
    }
    if (json_) {
        out() << toJson(file.document);
        return ExitCode::Done;
    }
    for (const std::string& line : fieldLines(file.document.record)) {
        out() << line << "\n";
    }
    return ExitCode::Done;
}

}  // namespace qv::cli
