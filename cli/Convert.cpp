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
    if (const auto* failure = std::get_if<Message>(&kind)) {
        return fail(*failure);
    }
    LoadedFile file;
    if (auto code = load(in_, file)) {
        return *code;
    }
    if (const auto bad = firstValueOutOfRange(file)) {
        return fail(Wording::fieldStopsSave(*bad));
    }
    if (const auto failure = saveFile(out_, std::get<FileKind>(kind), file.document)) {
        return fail(*failure);
    }
    return ExitCode::Done;
}

}  // namespace qv::cli
