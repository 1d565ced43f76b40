#include "cli/CommandLine.h"

#include <memory>
#include <vector>

#include "cli/Subcommands.h"

namespace qv::cli {

int runCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err,
                   const std::filesystem::path& executableFolder) {
    CommonOptions common;
    common.executableFolder = executableFolder;
    std::string accessCode;
    std::string model;
    CLI::App app{"Reads, writes and compares the calibration data of a QV-4120 radio.",
                 "qv4120-cal"};
    app.set_version_flag("--version", std::string("qv4120-cal ") + QV_VERSION);
    app.footer(kExitCodeHelp);
    app.require_subcommand(1);
    app.fallthrough();
    addFileOption(app, "--settings", common.settings,
                  "The settings file (read only): default mysetup.ini beside the program, "
                  "else $XDG_CONFIG_HOME/qv4120-settestdata/mysetup.ini");
    CLI::Option* accessCodeOption =
        app.add_option("--access-code", accessCode,
                       "The radio's access code, ten characters (default: the settings file's)");
    CLI::Option* modelOption = app.add_option(
        "--model", model,
        "The model the radio must name, empty for any (default: the settings file's)");
    app.add_flag(
        "--trace", common.trace,
        "Print the transfer's log: every frame sent and received as hex, the timers, the outcome");

    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(std::make_unique<Ports>());
    commands.push_back(std::make_unique<Identify>());
    commands.push_back(std::make_unique<Read>());
    commands.push_back(std::make_unique<Write>());
    commands.push_back(std::make_unique<Verify>());
    commands.push_back(std::make_unique<Show>());
    commands.push_back(std::make_unique<Diff>());
    commands.push_back(std::make_unique<Convert>());
    for (const auto& command : commands) {
        command->addTo(app);
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e, out, err) == 0 ? 0 : static_cast<int>(ExitCode::Usage);
    }
    if (accessCodeOption->count() > 0) {
        common.accessCode = accessCode;
    }
    if (modelOption->count() > 0) {
        common.model = model;
    }
    const Console console{out, err};
    for (const auto& command : commands) {
        if (command->chosen()) {
            return static_cast<int>(command->run(common, console));
        }
    }
    return static_cast<int>(ExitCode::Usage);
}

}  // namespace qv::cli
