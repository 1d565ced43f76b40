#include "cli/Subcommands.h"
#include "record/PlainText.h"

namespace qv::cli {

Identify::Identify() : RadioCommand("identify", "Show the radio's model and version") {}

ExitCode Identify::execute() {
    if (auto ready = prepare(); !ready) {
        return exitCodeOf(ready.error().kind);
    }
    const OperationResult result = work([&](RadioOperations& radio) { radio.identify(setup()); });
    if (result.failure) {
        return fail(*result.failure);
    }
    out() << "model: " << escapeBytes(result.radio.model)
          << "\nversion: " << escapeBytes(result.radio.version) << "\n";
    return ExitCode::Done;
}

}  // namespace qv::cli
