#pragma once

#include <CLI/CLI.hpp>
#include <QCoreApplication>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "cli/ExitCode.h"
#include "ports/SettingsFile.h"
#include "workflow/CalibrationFiles.h"

namespace qv::cli {

// The program's own options, given before the subcommand, which every subcommand may read.
struct CommonOptions {
    std::filesystem::path settings;  // empty: the default settings file
    std::optional<std::string> accessCode;
    std::optional<std::string> model;
    bool trace = false;
    std::filesystem::path executableFolder;
};

// Where a run's results (standard output) and messages (standard error) go.
struct Console {
    std::ostream& out;
    std::ostream& err;
};

// Adds an option or argument naming a file. The command line is UTF-8 on every system (see
// main), so the file's name reaches the system whole.
CLI::Option* addFileOption(CLI::App& command, const std::string& name, std::filesystem::path& file,
                           const std::string& description);

// One subcommand of qv4120-cal: its options and its run. Messages are in the language of the
// locale; results, for scripts, stay as they are.
class Command {
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
public:
    Command(std::string name, std::string description);
    virtual ~Command() = default;
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    // Adds the subcommand and its options to the program's command line.
    void addTo(CLI::App& program);
    bool chosen() const;
    ExitCode run(const CommonOptions& common, const Console& console);

protected:
    virtual void addOptions(CLI::App& command) = 0;
    virtual ExitCode execute() = 0;
    // What is left to do once the results are out.
    virtual void finish() {}

    const CommonOptions& common() const { return *common_; }
    std::ostream& out() const { return console_->out; }
    std::ostream& err() const { return console_->err; }
    // A line on standard error.
    void say(const QString& text) const;
    // The message on standard error.
    void tell(const Message& message) const;
    // The message on standard error; its exit code.
    ExitCode fail(const Message& message) const;
    ExitCode fail(ExitCode code, const QString& text) const;
    // `text` on standard error; the failure of that kind, for the caller's exit code.
    Failed refuse(Failure::Kind kind, const QString& text) const;
    // A settings file named on the command line must be there; the default one may be missing.
    // A failure is told on standard error before it is returned, as are load's.
    Result<void> openSettings();
    const SettingsFile& settings() const { return *settings_; }
    Result<LoadedFile> load(const std::filesystem::path& path) const;

private:
    std::string name_;
    std::string description_;
    CLI::App* command_ = nullptr;
    const CommonOptions* common_ = nullptr;
    const Console* console_ = nullptr;
    std::optional<SettingsFile> settings_;
};

}  // namespace qv::cli
