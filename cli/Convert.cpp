#include "cli/Subcommands.h"

namespace qv::cli {

Convert::Convert() : Command("convert", "Convert IN to OUT, by their extensions") {}

void Convert::addOptions(CLI::App& command) {
    addFileOption(command, "IN", in_, "The file to read")->required();
    addFileOption(command, "OUT", out_, "The file to write")->required();
}

// What it writes, a write takes: a value out of its field's range stops it.
ExitCode Convert::execute() {
    const auto kind = fileKindFor(out_);
    if (!kind) {
        return fail(Wording::fileNotSaved(kind.error()));
    }
    const auto loaded = load(in_);
    if (!loaded) {
        return exitCodeOf(loaded.error().kind);
    }
    const LoadedFile& file = *loaded;
    if (const auto bad = firstValueOutOfRange(file)) {
        return fail(Wording::fieldStopsSave(*bad));
    }
    if (const auto saved = saveCalibration(out_, *kind, file.document); !saved) {
        return fail(Wording::fileNotSaved(saved.error()));
    }
    return ExitCode::Done;
}

}  // namespace qv::cli
