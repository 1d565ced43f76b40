#include "cli/Command.h"

#include "datafile/PathText.h"
#include "platform/Files.h"
#include "ports/AppFolders.h"

namespace qv::cli {

ExitCode exitCodeOf(Failure::Kind kind) {
    switch (kind) {
        case Failure::Kind::Usage:
            return ExitCode::Usage;
        case Failure::Kind::Port:
            return ExitCode::PortUnavailable;
        case Failure::Kind::Communication:
            return ExitCode::Communication;
        case Failure::Kind::Model:
            return ExitCode::WrongModel;
        case Failure::Kind::File:
            return ExitCode::FileError;
        case Failure::Kind::Field:
            return ExitCode::InvalidField;
        case Failure::Kind::NotKept:
            return ExitCode::NotKept;
    }
    return ExitCode::Communication;
}

CLI::Option* addFileOption(CLI::App& command, const std::string& name, std::filesystem::path& file,
                           const std::string& description) {
    return command.add_option_function<std::string>(
        name, [&file](const std::string& text) { file = pathFromUtf8(text); }, description);
}

Command::Command(std::string name, std::string description)
    : name_(std::move(name)), description_(std::move(description)) {}

void Command::addTo(CLI::App& program) {
    command_ = program.add_subcommand(name_, description_);
    addOptions(*command_);
}

bool Command::chosen() const {
    return command_ != nullptr && command_->parsed();
}

ExitCode Command::run(const CommonOptions& common, const Console& console) {
    common_ = &common;
    console_ = &console;
    const ExitCode code = execute();
    out().flush();
    finish();
    return code;
}

void Command::say(const QString& text) const {
    err() << text.toStdString() << "\n";
}

// The headline after the program's name, each line of the detail indented below it.
void Command::tell(const Message& message) const {
    say("qv4120-cal: " + message.headline);
    for (const QString& line : message.detail.split('\n', Qt::SkipEmptyParts)) {
        say("  " + line);
    }
}

ExitCode Command::fail(const Message& message) const {
    tell(message);
    return exitCodeOf(message.kind);
}

ExitCode Command::fail(ExitCode code, const QString& text) const {
    say("qv4120-cal: " + text);
    return code;
}

Failed Command::refuse(Failure::Kind kind, const QString& text) const {
    say("qv4120-cal: " + text);
    return qv::fail({kind, text.toStdString()});
}

// A file that is there but not a regular file is never opened (a pipe would block): it is
// said, and the built-in settings are used.
Result<void> Command::openSettings() {
    const std::filesystem::path path =
        common().settings.empty() ? settingsFilePath(common().executableFolder) : common().settings;
    settings_.emplace(utf8Text(path));
    if (const auto refusal = settings_->refusal()) {
        say("qv4120-cal: " + escapedText(*refusal));
    } else if (!common().settings.empty()) {
        // The system's own reason: a link loop, a missing file, a permission.
        platform::File file;
        if (const auto error = platform::openToRead(path, file)) {
            const Failure failure(Failure::Kind::File, error.message(), path, error);
            tell(Wording::settingsNotRead(failure));
            return qv::fail(failure);
        }
    }
    return {};
}

Result<LoadedFile> Command::load(const std::filesystem::path& path) const {
    auto loaded = loadFile(path);
    if (!loaded) {
        tell(Wording::fileNotLoaded(loaded.error()));
    }
    return loaded;
}

}  // namespace qv::cli
