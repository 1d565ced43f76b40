#include "cli/Command.h"

#include "datafile/PathText.h"
#include "platform/Files.h"
#include "ports/AppFolders.h"

namespace qv::cli {

namespace {

ExitCode exitCodeOf(Message::Kind kind) {
    switch (kind) {
        case Message::Kind::Usage:
            return ExitCode::Usage;
        case Message::Kind::Port:
            return ExitCode::PortUnavailable;
        case Message::Kind::Communication:
            return ExitCode::Communication;
        case Message::Kind::Model:
            return ExitCode::WrongModel;
        case Message::Kind::File:
            return ExitCode::FileError;
        case Message::Kind::Field:
            return ExitCode::InvalidField;
        case Message::Kind::NotKept:
            return ExitCode::NotKept;
    }
    return ExitCode::Communication;
}

}  // namespace

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
ExitCode Command::fail(const Message& message) const {
    say("qv4120-cal: " + message.headline);
    for (const QString& line : message.detail.split('\n', Qt::SkipEmptyParts)) {
        say("  " + line);
    }
    return exitCodeOf(message.kind);
}

ExitCode Command::fail(ExitCode code, const QString& text) const {
    say("qv4120-cal: " + text);
    return code;
}

// A file that is there but not a regular file is never opened (a pipe would block): it is
// said, and the built-in settings are used.
std::optional<ExitCode> Command::openSettings() {
    const std::filesystem::path path =
        common().settings.empty() ? settingsFilePath(common().executableFolder) : common().settings;
    settings_.emplace(utf8Text(path));
    if (const auto refusal = settings_->refusal()) {
        say("qv4120-cal: " + escapedText(*refusal));
    } else if (!common().settings.empty()) {
        // The system's own reason: a link loop, a missing file, a permission.
        platform::File file;
        if (const auto error = platform::openToRead(path, file)) {
            return fail(Wording::settingsNotRead({path, error.message()}));
        }
    }
    return std::nullopt;
}

std::optional<ExitCode> Command::load(const std::filesystem::path& path, LoadedFile& file) const {
    auto loaded = loadFile(path);
    if (const auto* failure = std::get_if<Message>(&loaded)) {
        return fail(*failure);
    }
    file = std::get<LoadedFile>(std::move(loaded));
    return std::nullopt;
}

}  // namespace qv::cli
