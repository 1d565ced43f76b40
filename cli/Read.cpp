#include "cli/Subcommands.h"

namespace qv::cli {

Read::Read() : RadioCommand("read", "Read the radio into FILE (.bin or .json)") {}

void Read::addOptions(CLI::App& command) {
    RadioCommand::addOptions(command);
    addFileOption(command, "--output,-o", output_, "The file to write")->required();
}

ExitCode Read::execute() {
    const auto kind = fileKindFor(output_);
    if (!kind) {
        return fail(Wording::fileNotSaved(kind.error()));
    }
    if (auto ready = prepare(); !ready) {
        return exitCodeOf(ready.error().kind);
    }
    const OperationResult result = work([&](RadioOperations& radio) { radio.read(setup()); });
    if (result.failure) {
        return fail(*result.failure);
    }
    const CalibrationDocument document =
        documentOfRead(originOf(setup(), result.radio, result.memory));
    if (const auto saved = saveCalibration(output_, *kind, document); !saved) {
        return fail(Wording::fileNotSaved(saved.error()));
    }
    say(Wording::readInto(result.radio, port(), output_));
    return ExitCode::Done;
}

}  // namespace qv::cli
