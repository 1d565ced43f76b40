#include "cli/CommandLine.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <QCoreApplication>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>

#include "cli/CalibrationFiles.h"
#include "cli/ExitCode.h"
#include "cli/PortChoice.h"
#include "cli/RadioSession.h"
#include "cli/TracingSerialPort.h"
#include "datafile/Backups.h"
#include "link/SerialPortAdapter.h"
#include "ports/AppFolders.h"
#include "ports/LinuxPorts.h"
#include "ports/PortList.h"
#include "ports/SettingsFile.h"
#include "record/Conversions.h"
#include "record/FieldCatalogue.h"
#include "translations/Translations.h"

namespace qv::cli {

namespace {

namespace fs = std::filesystem;

struct Arguments {
    std::string settings;
    std::string accessCode;
    std::string model;
    bool accessCodeGiven = false;
    bool modelGiven = false;
    bool trace = false;
    std::string port;
    std::string output;
    std::string file;
    std::string other;
    bool yes = false;
    bool json = false;
};

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// The commands behind the subcommands; each returns its exit code. Messages are in the
// language of the locale; results, for scripts, stay as they are.
class Commands {
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
public:
    Commands(const Arguments& arguments, std::ostream& out, std::ostream& err,
             fs::path executableFolder)
        : args_(arguments), out_(out), err_(err), executableFolder_(std::move(executableFolder)) {}

    ExitCode ports();
    ExitCode identify();
    ExitCode read();
    ExitCode write();
    ExitCode verify();
    ExitCode show();
    ExitCode diff();
    ExitCode convert();
    // Returns once the radio rests no more after the transfer, so that a command after this
    // one finds it ready.
    void waitForRest();

private:
    ExitCode fail(ExitCode code, const QString& message);
    static QString nothingWritten() { return tr("Nothing was written to the radio."); }
    static QString radioName(const Identification& radio);
    std::optional<ExitCode> openSettings();
    std::optional<ExitCode> prepareTransfer();
    std::optional<ExitCode> kindOf(const std::string& path, FileKind& kind);
    std::optional<ExitCode> load(const std::string& path, CalibrationDocument& document);
    bool confirmed();
    SessionResult transfer(const std::function<SessionResult(RadioSession&)>& run);
    ExitCode failed(const SessionResult& result, bool writing);
    RadioOrigin originOf(const CalibrationRecord& memory, const Identification& radio) const;
    std::optional<std::string> keepRadioBackup(const RadioOrigin& origin, std::string_view reason);
    std::optional<ExitCode> readRadio(std::string_view reason, SessionResult& result);

    const Arguments& args_;
    std::ostream& out_;
    std::ostream& err_;
    fs::path executableFolder_;
    std::optional<SettingsFile> settings_;
    RadioSettings radio_;
    ChosenPort port_;
    // The line and the session of the transfer, kept while the radio rests after it.
    std::unique_ptr<SerialPortAdapter> serial_;
    std::optional<TracingSerialPort> tracing_;
    std::optional<RadioSession> session_;
};

ExitCode Commands::fail(ExitCode code, const QString& message) {
    err_ << "qv4120-cal: " << message.toStdString() << "\n";
    return code;
}

QString Commands::radioName(const Identification& radio) {
    return radio.model.empty() ? tr("the radio")
                               : tr("%1 (version %2)").arg(qs(radio.model), qs(radio.version));
}

// A settings file named on the command line must be there; the default one may be missing.
std::optional<ExitCode> Commands::openSettings() {
    const fs::path path =
        args_.settings.empty() ? settingsFilePath(executableFolder_) : fs::path(args_.settings);
    if (!args_.settings.empty() && ::access(path.c_str(), R_OK) != 0) {
        return fail(ExitCode::FileError, qs(FileError{path, std::strerror(errno)}.message()));
    }
    settings_.emplace(path.string());
    if (const auto refusal = settings_->refusal()) {
        err_ << "qv4120-cal: " << *refusal << "\n";
    }
    return std::nullopt;
}

std::optional<ExitCode> Commands::prepareTransfer() {
    if (auto code = openSettings()) {
        return code;
    }
    if (args_.accessCodeGiven) {
        if (accessCodeOrDefault(args_.accessCode) != args_.accessCode) {
            return fail(ExitCode::Usage, tr("--access-code takes ten printable ASCII characters."));
        }
        radio_.accessCode = args_.accessCode;
    } else {
        const std::string written = settings_->accessCode();
        radio_.accessCode = accessCodeOrDefault(written);
        if (!written.empty() && radio_.accessCode != written) {
            err_ << "qv4120-cal: "
                 << tr("note: %1: [radio] accessCode is not ten printable ASCII characters; the "
                       "built-in code is used.")
                        .arg(qs(settings_->path()))
                        .toStdString()
                 << "\n";
        }
    }
    radio_.model = args_.modelGiven ? args_.model : settings_->model();
    LinuxPorts present(settings_->configuredPorts());
    const auto chosen = choosePort(args_.port, present);
    if (!chosen) {
        return fail(ExitCode::PortUnavailable,
                    tr("Cannot open %1: no such port is present (qv4120-cal ports lists them).")
                        .arg(qs(args_.port)));
    }
    port_ = *chosen;
    return std::nullopt;
}

std::optional<ExitCode> Commands::kindOf(const std::string& path, FileKind& kind) {
    const auto found = fileKindOf(path);
    if (!found) {
        return fail(
            ExitCode::Usage,
            tr("\"%1\": name a data file (.bin) or a calibration document (.json).").arg(qs(path)));
    }
    kind = *found;
    return std::nullopt;
}

std::optional<ExitCode> Commands::load(const std::string& path, CalibrationDocument& document) {
    FileKind kind{};
    if (auto code = kindOf(path, kind)) {
        return code;
    }
    if (auto error = loadCalibration(path, kind, document)) {
        return fail(ExitCode::FileError, qs(error->message()));
    }
    return std::nullopt;
}

// Only a person at a terminal can say yes; without one, --yes must say it.
bool Commands::confirmed() {
    if (args_.yes) {
        return true;
    }
    if (::isatty(STDIN_FILENO) == 0) {
        fail(ExitCode::Usage,
             nothingWritten() + " " + tr("No terminal to confirm the write on: add --yes."));
        return false;
    }
    err_ << tr("Write %1 into the radio on %2? [y/N] ")
                .arg(qs(args_.file), qs(port_.describe()))
                .toStdString()
         << std::flush;
    std::string answer;
    std::getline(std::cin, answer);
    if (answer == "y" || answer == "Y" || answer == "yes") {
        return true;
    }
    fail(ExitCode::Usage, nothingWritten());
    return false;
}

SessionResult Commands::transfer(const std::function<SessionResult(RadioSession&)>& run) {
    serial_ = std::make_unique<SerialPortAdapter>();
    if (args_.trace) {
        tracing_.emplace(*serial_, err_);
    }
    // Progress rewrites its line, which would garble the trace's lines.
    const bool showProgress = ::isatty(STDERR_FILENO) != 0 && !args_.trace;
    session_.emplace(tracing_ ? static_cast<SerialPort&>(*tracing_) : *serial_, radio_,
                     showProgress ? &err_ : nullptr);
    return run(*session_);
}

void Commands::waitForRest() {
    if (session_) {
        out_.flush();
        session_->waitForRest();
    }
}

// A write that stopped after its first block may have left the radio half written: say so.
ExitCode Commands::failed(const SessionResult& result, bool writing) {
    const TransferFailure& failure = *result.failure;
    QString outcome;
    if (writing) {
        outcome = " " + (result.blocksWritten == 0
                             ? nothingWritten()
                             : tr("The write stopped at block %1 of 8: the radio may hold part "
                                  "of the new data. Write again.")
                                   .arg(result.blocksWritten));
    }
    const QString port = qs(port_.describe());
    const QString reason = qs(failure.reason);
    using Kind = TransferFailure::Kind;
    switch (failure.kind) {
        case Kind::PortUnavailable:
            return fail(ExitCode::PortUnavailable,
                        tr("Cannot open %1: %2").arg(port, reason) + outcome);
        case Kind::NoAnswer:
            return fail(
                ExitCode::Communication,
                tr("Communication error: the radio on %1 did not answer.").arg(port) + outcome);
        case Kind::ReopenFailed:
            return fail(
                ExitCode::Communication,
                tr("Communication error: %1 could not be opened again: %2").arg(port, reason) +
                    outcome);
        case Kind::PortLost:
            return fail(ExitCode::Communication,
                        tr("The connection to the radio was lost: the cable was unplugged or the "
                           "port went away. The transfer has stopped.") +
                            outcome);
        case Kind::WrongModel:
            return fail(ExitCode::WrongModel,
                        tr("Model type or frequency range error: the radio on %1 is %2, not %3.")
                                .arg(port, radioName(failure.radio), qs(radio_.model)) +
                            outcome);
        case Kind::InvalidField:
            return fail(ExitCode::InvalidField,
                        nothingWritten() + " " + fieldProblem(*failure.field));
        case Kind::BackupFailed:
            return fail(ExitCode::FileError,
                        nothingWritten() + " " +
                            tr("The radio's memory could not be kept as a backup: %1").arg(reason));
    }
    return ExitCode::Communication;
}

ExitCode Commands::ports() {
    if (auto code = openSettings()) {
        return *code;
    }
    LinuxPorts present(settings_->configuredPorts());
    const PortListing listing = listPorts(present.list());
    if (listing.entries.empty()) {
        err_ << "qv4120-cal: " << tr("no serial port is present.").toStdString() << "\n";
    }
    for (const PortEntry& entry : listing.entries) {
        char line[16];
        std::snprintf(line, sizeof line, "%-7s ", entry.text.c_str());
        out_ << line << entry.device << "\n";
    }
    return ExitCode::Done;
}

ExitCode Commands::identify() {
    if (auto code = prepareTransfer()) {
        return *code;
    }
    const SessionResult result =
        transfer([&](RadioSession& session) { return session.identify(port_.device); });
    if (result.failure) {
        return failed(result, false);
    }
    out_ << "model: " << result.radio.model << "\nversion: " << result.radio.version << "\n";
    return ExitCode::Done;
}

// Every read keeps the radio's memory as a backup; one that cannot be kept is said, and the
// read stands.
RadioOrigin Commands::originOf(const CalibrationRecord& memory, const Identification& radio) const {
    return {.model = radio.model,
            .version = radio.version,
            .time = utcTime(std::chrono::system_clock::now()),
            .port = port_.describe(),
            .memory = memory};
}

std::optional<std::string> Commands::keepRadioBackup(const RadioOrigin& origin,
                                                     std::string_view reason) {
    const auto kept = keepBackup(backupFolder(), origin, reason);
    if (const auto* path = std::get_if<fs::path>(&kept)) {
        err_ << tr("Backup kept: %1").arg(qs(path->string())).toStdString() << "\n";
        return std::nullopt;
    }
    return std::get<FileError>(kept).message();
}

// Reads the whole radio and keeps it as a backup; one that cannot be kept is said, and the
// read stands.
std::optional<ExitCode> Commands::readRadio(std::string_view reason, SessionResult& result) {
    if (auto code = prepareTransfer()) {
        return code;
    }
    result = transfer([&](RadioSession& session) { return session.read(port_.device); });
    if (result.failure) {
        return failed(result, false);
    }
    if (auto error = keepRadioBackup(originOf(result.memory, result.radio), reason)) {
        err_ << "qv4120-cal: " << tr("no backup kept: %1").arg(qs(*error)).toStdString() << "\n";
    }
    return std::nullopt;
}

ExitCode Commands::read() {
    FileKind kind{};
    if (auto code = kindOf(args_.output, kind)) {
        return *code;
    }
    SessionResult result;
    if (auto code = readRadio("read", result)) {
        return *code;
    }
    const CalibrationDocument document = documentOfRadio(originOf(result.memory, result.radio));
    if (auto error = saveCalibration(args_.output, kind, document)) {
        return fail(ExitCode::FileError,
                    tr("The radio was read, but %1").arg(qs(error->message())));
    }
    err_ << tr("Read %1 on %2 into %3.")
                .arg(radioName(result.radio), qs(port_.describe()), qs(args_.output))
                .toStdString()
         << "\n";
    return ExitCode::Done;
}

// The file is checked before any port is opened, as the window checks its fields. The radio
// keeps its read-only values and reserved bytes: where the file holds others, it is said.
ExitCode Commands::write() {
    CalibrationDocument document;
    if (auto code = load(args_.file, document)) {
        return *code;
    }
    if (const auto bad = firstUnwritableField(document.record)) {
        return fail(ExitCode::InvalidField, nothingWritten() + " " + qs(bad->message));
    }
    if (auto code = prepareTransfer()) {
        return *code;
    }
    if (!confirmed()) {
        return ExitCode::Usage;
    }
    std::vector<Difference> kept;
    const SessionResult result = transfer([&](RadioSession& session) {
        return session.write(
            port_.device,
            [&](CalibrationRecord& image) {
                for (Difference& d : differences(document.record, recordOfMemory(image))) {
                    if (d.field < 0 || fieldInfo(d.field).readOnly()) {
                        kept.push_back(std::move(d));
                    }
                }
                recordToImage(document.record, image);
                return std::optional<GatherError>();
            },
            [&](const CalibrationRecord& memory, const Identification& radio) {
                return keepRadioBackup(originOf(memory, radio), "write");
            });
    });
    if (result.failure) {
        return failed(result, true);
    }
    err_ << tr("Wrote %1 into %2 on %3.")
                .arg(qs(args_.file), radioName(result.radio), qs(port_.describe()))
                .toStdString()
         << "\n";
    for (const Difference& d : kept) {
        err_ << "  "
             << tr("kept the radio's own %1: %2 (the file holds %3)")
                    .arg(qs(d.label), qs(d.second), qs(d.first))
                    .toStdString()
             << "\n";
    }
    return ExitCode::Done;
}

ExitCode Commands::verify() {
    CalibrationDocument document;
    if (auto code = load(args_.file, document)) {
        return *code;
    }
    SessionResult result;
    if (auto code = readRadio("verify", result)) {
        return *code;
    }
    const auto found = differences(document.record, recordOfMemory(result.memory));
    for (const Difference& d : found) {
        out_ << d.label << ": file " << d.first << ", radio " << d.second << "\n";
    }
    if (!found.empty()) {
        const QString where = radioName(result.radio);
        err_ << "qv4120-cal: "
             << (found.size() == 1 ? tr("1 value in %1 differs from %2 on %3.")
                                         .arg(qs(args_.file), where, qs(port_.describe()))
                                   : tr("%1 values in %2 differ from %3 on %4.")
                                         .arg(QString::number(found.size()), qs(args_.file), where,
                                              qs(port_.describe())))
                    .toStdString()
             << "\n";
        return ExitCode::Differences;
    }
    err_ << tr("%1 on %2 holds every value of %3.")
                .arg(radioName(result.radio), qs(port_.describe()), qs(args_.file))
                .toStdString()
         << "\n";
    return ExitCode::Done;
}

ExitCode Commands::show() {
    CalibrationDocument document;
    if (auto code = load(args_.file, document)) {
        return *code;
    }
    if (args_.json) {
        out_ << toJson(document);
        return ExitCode::Done;
    }
    for (const std::string& line : fieldLines(document.record)) {
        out_ << line << "\n";
    }
    return ExitCode::Done;
}

ExitCode Commands::diff() {
    CalibrationDocument first;
    CalibrationDocument second;
    if (auto code = load(args_.file, first)) {
        return *code;
    }
    if (auto code = load(args_.other, second)) {
        return *code;
    }
    const auto found = differences(first.record, second.record);
    for (const Difference& d : found) {
        out_ << d.label << ": " << d.first << " -> " << d.second << "\n";
    }
    return found.empty() ? ExitCode::Done : ExitCode::Differences;
}

ExitCode Commands::convert() {
    CalibrationDocument document;
    FileKind kind{};
    if (auto code = kindOf(args_.other, kind)) {
        return *code;
    }
    if (auto code = load(args_.file, document)) {
        return *code;
    }
    if (auto error = saveCalibration(args_.other, kind, document)) {
        return fail(ExitCode::FileError, qs(error->message()));
    }
    return ExitCode::Done;
}

}  // namespace

int runCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err,
                   const fs::path& executableFolder) {
    Arguments args;
    CLI::App app{"Reads, writes and compares the calibration data of a QV-4120 radio.",
                 "qv4120-cal"};
    app.set_version_flag("--version", std::string("qv4120-cal ") + QV_VERSION);
    app.footer(kExitCodeHelp);
    app.require_subcommand(1);
    app.fallthrough();
    app.add_option("--settings", args.settings,
                   "The settings file (read only): default mysetup.ini beside the program, "
                   "else $XDG_CONFIG_HOME/qv4120-settestdata/mysetup.ini");
    CLI::Option* accessCode =
        app.add_option("--access-code", args.accessCode,
                       "The radio's access code, ten characters (default: the settings file's)");
    CLI::Option* model = app.add_option(
        "--model", args.model,
        "The model the radio must name, empty for any (default: the settings file's)");
    app.add_flag("--trace", args.trace, "Print every frame sent and received as hex");

    const auto addPort = [&](CLI::App* command) {
        command->add_option("--port,-p", args.port, "COM9, 9 or a device path")->required();
    };
    CLI::App* ports = app.add_subcommand("ports", "List the present ports: COM n, device path");
    CLI::App* identify = app.add_subcommand("identify", "Show the radio's model and version");
    addPort(identify);
    CLI::App* read = app.add_subcommand("read", "Read the radio into FILE (.bin or .json)");
    addPort(read);
    read->add_option("--output,-o", args.output, "The file to write")->required();
    CLI::App* write = app.add_subcommand("write", "Write FILE (.bin or .json) into the radio");
    addPort(write);
    write->add_option("FILE", args.file, "The data file or document")->required();
    write->add_flag("--yes,-y", args.yes, "Write without asking");
    CLI::App* verify =
        app.add_subcommand("verify", "Read the radio and compare it with FILE, field by field");
    addPort(verify);
    verify->add_option("FILE", args.file, "The data file or document")->required();
    CLI::App* show = app.add_subcommand("show", "Show the 78 fields of FILE");
    show->add_option("FILE", args.file, "The data file or document")->required();
    show->add_flag("--json", args.json, "Show the calibration document");
    CLI::App* diff = app.add_subcommand("diff", "Show the fields that differ between two files");
    diff->add_option("FILE_A", args.file, "The first file")->required();
    diff->add_option("FILE_B", args.other, "The second file")->required();
    CLI::App* convert = app.add_subcommand("convert", "Convert IN to OUT, by their extensions");
    convert->add_option("IN", args.file, "The file to read")->required();
    convert->add_option("OUT", args.other, "The file to write")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e, out, err) == 0 ? 0 : static_cast<int>(ExitCode::Usage);
    }
    args.accessCodeGiven = accessCode->count() > 0;
    args.modelGiven = model->count() > 0;

    Commands commands(args, out, err, executableFolder);
    const std::pair<CLI::App*, ExitCode (Commands::*)()> actions[] = {
        {ports, &Commands::ports}, {identify, &Commands::identify}, {read, &Commands::read},
        {write, &Commands::write}, {verify, &Commands::verify},     {show, &Commands::show},
        {diff, &Commands::diff},   {convert, &Commands::convert}};
    for (const auto& [command, action] : actions) {
        if (command->parsed()) {
            const ExitCode code = (commands.*action)();
            commands.waitForRest();
            return static_cast<int>(code);
        }
    }
    return static_cast<int>(ExitCode::Usage);
}

}  // namespace qv::cli
