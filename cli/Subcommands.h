#pragma once

#include <string>

#include "cli/RadioCommand.h"

// The subcommands of qv4120-cal, each with its own options and run (one .cpp each).
namespace qv::cli {

// Lists the present ports: COM n, device path.
class Ports final : public Command {
public:
    Ports();

private:
    void addOptions(CLI::App& command) override;
    ExitCode execute() override;
};

// Shows the radio's model and version.
class Identify final : public RadioCommand {
public:
    Identify();

private:
    ExitCode execute() override;
};

// Reads the radio into a data file or document.
class Read final : public RadioCommand {
public:
    Read();

private:
    void addOptions(CLI::App& command) override;
    ExitCode execute() override;

    std::filesystem::path output_;
};

// Writes a data file or document into the radio. The file is checked before any port is
// opened, as the window checks its fields.
class Write final : public RadioCommand {
public:
    Write();

private:
    void addOptions(CLI::App& command) override;
    ExitCode execute() override;
    bool confirmed() const;

    std::filesystem::path file_;
    bool yes_ = false;
    bool noReadBack_ = false;
};

// Reads the radio and compares what a write of the file sends with what the radio holds.
class Verify final : public RadioCommand {
public:
    Verify();

private:
    void addOptions(CLI::App& command) override;
    ExitCode execute() override;

    std::filesystem::path file_;
};

// Shows the 78 fields of a file, or its document.
class Show final : public Command {
public:
    Show();

private:
    void addOptions(CLI::App& command) override;
    ExitCode execute() override;

    std::filesystem::path file_;
    bool json_ = false;
};

// Shows the fields that differ between two files.
class Diff final : public Command {
public:
    Diff();

private:
    void addOptions(CLI::App& command) override;
    ExitCode execute() override;

    std::filesystem::path first_;
    std::filesystem::path second_;
};

// Converts a file into the other kind, by the extensions.
class Convert final : public Command {
public:
    Convert();

private:
    void addOptions(CLI::App& command) override;
    ExitCode execute() override;

    std::filesystem::path in_;
    std::filesystem::path out_;
};

}  // namespace qv::cli
