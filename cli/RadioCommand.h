#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "cli/Command.h"
#include "cli/RadioSession.h"
#include "link/SerialPortAdapter.h"
#include "workflow/RadioOperations.h"
#include "workflow/TransferLog.h"

namespace qv::cli {

// A subcommand that talks to the radio: the port it takes (--port), the access code and model
// from the settings file or the program's options, and the trace.
class RadioCommand : public Command {
public:
    using Command::Command;

protected:
    void addOptions(CLI::App& command) override;
    // Reads the settings and finds the port; when it cannot, the failure, told on standard
    // error.
    Result<void> prepare();
    const RadioSetup& setup() const { return setup_; }
    std::string port() const { return setup_.port.describe(); }
    // Runs the work `start` begins until it ends.
    OperationResult work(const std::function<void(RadioOperations&)>& start);
    // The program ends once the radio rests no more, so that a command after it finds the radio
    // ready.
    void finish() override;

private:
    std::string portText_;
    RadioSetup setup_;
    // The line and the session of the work, made when it starts (only one subcommand runs) and
    // kept while the radio rests after it.
    std::optional<SerialPortAdapter> serial_;
    std::optional<RadioSession> session_;
    // With --trace, the log lines go to standard error.
    std::optional<LogCapture> tracing_;
};

}  // namespace qv::cli
