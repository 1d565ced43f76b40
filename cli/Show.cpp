#include "cli/Subcommands.h"

namespace qv::cli {

Show::Show() : Command("show", "Show the 78 fields of FILE") {}

void Show::addOptions(CLI::App& command) {
    addFileOption(command, "FILE", file_, "The data file or document")->required();
    command.add_flag("--json", json_, "Show the calibration document");
}

ExitCode Show::execute() {
    const auto loaded = load(file_);
    if (!loaded) {
        return exitCodeOf(loaded.error().kind);
    }
    const LoadedFile& file = *loaded;
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
