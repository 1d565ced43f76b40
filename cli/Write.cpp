#include <iostream>

#include "cli/Subcommands.h"
#include "platform/Terminal.h"

namespace qv::cli {

Write::Write() : RadioCommand("write", "Write FILE (.bin or .json) into the radio") {}

void Write::addOptions(CLI::App& command) {
    RadioCommand::addOptions(command);
    addFileOption(command, "FILE", file_, "The data file or document")->required();
    command.add_flag("--yes,-y", yes_, "Write without asking");
    command.add_flag("--no-read-back", noReadBack_,
                     "Leave out reading the radio back after the write (for a line that "
                     "verifies in its own step)");
}

// Only a person at a terminal can say yes; without one, --yes must say it.
bool Write::confirmed() const {
    if (yes_) {
        return true;
    }
    if (!platform::isTerminal(platform::Stream::Input)) {
        fail(Wording::noTerminalToConfirm());
        return false;
    }
    err() << Command::tr("Write %1 into the radio on %2? [y/N] ")
                 .arg(escapedPath(file_), escapedText(port()))
                 .toStdString()
          << std::flush;
    std::string answer;
    std::getline(std::cin, answer);
    if (answer == "y" || answer == "Y" || answer == "yes") {
        return true;
    }
    fail(Wording::notConfirmed());
    return false;
}

// The radio keeps its read-only values and reserved bytes: where the file holds others, it is
// said.
ExitCode Write::execute() {
    const auto loaded = load(file_);
    if (!loaded) {
        return exitCodeOf(loaded.error().kind);
    }
    const LoadedFile& file = *loaded;
    if (const auto bad = firstValueOutOfRange(file)) {
        return fail(Wording::fieldStopsWrite(*bad));
    }
    if (auto ready = prepare(); !ready) {
        return exitCodeOf(ready.error().kind);
    }
    if (!confirmed()) {
        return ExitCode::Usage;
    }
    const ValuesGather gathered = gatherValues(file.document.record);
    const auto readBack = noReadBack_ ? Transfer::ReadBack::No : Transfer::ReadBack::Yes;
    const OperationResult result =
        work([&](RadioOperations& radio) { radio.write(setup(), gathered.gather, readBack); });
    if (result.failure) {
        return fail(*result.failure);
    }
    say(Wording::wroteInto(file_, result.radio, port()));
    for (const Difference& d : *gathered.keptByRadio) {
        say("  " + Wording::radioKeepsItsOwn(d.label, d.second, d.first));
    }
    if (noReadBack_) {
        err() << Wording::notReadBack().toStdString() << "\n";
    }
    return ExitCode::Done;
}

}  // namespace qv::cli
