#include "cli/Subcommands.h"

namespace qv::cli {

Verify::Verify()
    : RadioCommand("verify",
                   "Read the radio and compare it with FILE: the values a write of FILE sends") {}

void Verify::addOptions(CLI::App& command) {
    RadioCommand::addOptions(command);
    addFileOption(command, "FILE", file_, "The data file or document")->required();
}

// The radio's values as it holds them, never brought into range; the values it keeps for
// itself are said, not counted, since no write sends them.
ExitCode Verify::execute() {
    const auto loaded = load(file_);
    if (!loaded) {
        return exitCodeOf(loaded.error().kind);
    }
    const LoadedFile& file = *loaded;
    if (auto ready = prepare(); !ready) {
        return exitCodeOf(ready.error().kind);
    }
    const OperationResult result =
        work([&](RadioOperations& radio) { radio.read(setup(), "verify"); });
    if (result.failure) {
        return fail(*result.failure);
    }
    std::size_t counted = 0;
    for (const Difference& d : differences(file.document.record, recordOfMemory(result.memory))) {
        if (d.sent()) {
            out() << d.label << ": file " << d.first << ", radio " << d.second << "\n";
            ++counted;
        } else {
            say("  " + Wording::radioKeepsItsOwn(d.label, d.second, d.first));
        }
    }
    if (counted > 0) {
        return fail(ExitCode::Differences,
                    Wording::valuesDiffer(counted, file_, result.radio, port()));
    }
    say(Wording::radioHoldsTheFile(result.radio, port(), file_));
    return ExitCode::Done;
}

}  // namespace qv::cli
