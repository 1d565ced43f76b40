#pragma once

#include <functional>

#include "cli/Command.h"
#include "workflow/RadioWork.h"

namespace qv::cli {

// A subcommand that talks to the radio: the port it takes (--port), the access code and model
// from the settings file or the program's options, and the trace.
class RadioCommand : public Command {
public:
    using Command::Command;

protected:
    void addOptions(CLI::App& command) override;
    // Reads the settings and finds the port; the exit code when it cannot.
    std::optional<ExitCode> prepare();
    const RadioPlace& place() const { return place_; }
    std::string port() const { return place_.port.describe(); }
    // Runs the work `start` begins until it ends.
    WorkResult work(const std::function<void(RadioWork&)>& start) const;

private:
    std::string portText_;
    RadioPlace place_;
};

}  // namespace qv::cli
