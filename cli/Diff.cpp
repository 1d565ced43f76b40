#include "cli/Subcommands.h"

namespace qv::cli {

Diff::Diff() : Command("diff", "Show the fields that differ between two files") {}

void Diff::addOptions(CLI::App& command) {
    addFileOption(command, "FILE_A", first_, "The first file")->required();
    addFileOption(command, "FILE_B", second_, "The second file")->required();
}

ExitCode Diff::execute() {
    const auto first = load(first_);
    if (!first) {
        return exitCodeOf(first.error().kind);
    }
    const auto second = load(second_);
    if (!second) {
        return exitCodeOf(second.error().kind);
    }
    const auto found = differences(first->document.record, second->document.record);
    for (const Difference& d : found) {
        out() << d.label << ": " << d.first << " -> " << d.second << "\n";
    }
    return found.empty() ? ExitCode::Done : ExitCode::Differences;
}

}  // namespace qv::cli
