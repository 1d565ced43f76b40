#include <cstdio>

#include "cli/Subcommands.h"
#include "ports/PortList.h"
#include "ports/PresentPorts.h"
#include "record/PlainText.h"

namespace qv::cli {

Ports::Ports() : Command("ports", "List the present ports: COM n, device path") {}

void Ports::addOptions(CLI::App& /*command*/) {}

ExitCode Ports::execute() {
    if (auto opened = openSettings(); !opened) {
        return exitCodeOf(opened.error().kind);
    }
    const auto present = systemPorts(settings().configuredPorts(), PortLookups::Once);
    const PortListing listing = listPorts(present->list());
    if (listing.entries.empty()) {
        say("qv4120-cal: " + Command::tr("no serial port is present."));
    }
    for (const PortEntry& entry : listing.entries) {
        char line[16];
        std::snprintf(line, sizeof line, "%-7s ", entry.text.c_str());
        out() << line << escapeControls(entry.device) << "\n";
    }
    return ExitCode::Done;
}

}  // namespace qv::cli
