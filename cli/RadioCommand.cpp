#include "cli/RadioCommand.h"

#include <optional>

#include "cli/PortChoice.h"
#include "platform/Terminal.h"
#include "ports/AppFolders.h"
#include "ports/PresentPorts.h"

namespace qv::cli {

void RadioCommand::addOptions(CLI::App& command) {
    command.add_option("--port,-p", portText_, "COM9, 9 or a device path")->required();
}

Result<void> RadioCommand::prepare() {
    if (auto opened = openSettings(); !opened) {
        return opened;
    }
    if (const auto& given = common().accessCode) {
        if (accessCodeOrDefault(*given) != *given) {
            return refuse(Failure::Kind::Usage,
                          Command::tr("--access-code takes ten printable ASCII characters."));
        }
        setup_.settings.accessCode = *given;
    } else {
        const std::string written = settings().accessCode();
        setup_.settings.accessCode = accessCodeOrDefault(written);
        if (!written.empty() && setup_.settings.accessCode != written) {
            say("qv4120-cal: " +
                Command::tr(
                    "note: %1: [radio] accessCode is not ten printable ASCII characters; the "
                    "built-in code is used.")
                    .arg(escapedText(settings().path())));
        }
    }
    setup_.settings.model = common().model.value_or(settings().model());
    setup_.backupFolder = backupFolder();
    const auto present = systemPorts(settings().configuredPorts(), PortLookups::Once);
    const auto chosen = choosePort(portText_, *present);
    if (!chosen) {
        return refuse(
            Failure::Kind::Port,
            Command::tr("Cannot open %1: no such port is present (qv4120-cal ports lists them).")
                .arg(escapedText(portText_)));
    }
    setup_.port = *chosen;
    return {};
}

OperationResult RadioCommand::work(const std::function<void(RadioOperations&)>& start) {
    tracing_.reset();
    session_.reset();
    serial_.emplace();
    if (common().trace) {
        tracing_.emplace([this](const QString& line) { err() << line.toStdString() << std::endl; });
    }
    // Progress rewrites its line, which would garble the trace's lines.
    const bool showProgress = platform::isTerminal(platform::Stream::Error) && !common().trace;
    session_.emplace(*serial_, err(), showProgress);
    return session_->run(start);
}

void RadioCommand::finish() {
    if (session_) {
        session_->waitForRest();
    }
}

}  // namespace qv::cli
