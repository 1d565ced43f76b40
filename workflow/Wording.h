#pragma once

#include <QCoreApplication>
#include <QString>
#include <filesystem>
#include <string>

#include "datafile/SafeFile.h"
#include "link/TransferListener.h"
#include "record/Conversions.h"

namespace qv {

// What the tool tells the person about an outcome: a headline and, below it, the details. The
// window shows it in a message box, the command line on standard error.
struct Message {
    // What went wrong, for the command line's exit code.
    using Kind = Failure::Kind;
    Kind kind = Kind::Communication;
    QString headline;
    QString detail;         // the lines below the headline; may be empty
    bool critical = false;  // the window shows it with the critical (stop) icon

    // The headline, and the detail on the lines below it.
    QString text() const { return detail.isEmpty() ? headline : headline + "\n" + detail; }
};

// How far a write got: the backup of the radio's memory it kept before its first block, the
// blocks it sent, and whether what the radio keeps was being read back.
struct WriteProgress {
    std::filesystem::path backup;
    int blocksWritten = 0;
    bool readingBack = false;
};

// Every outcome of the tool's work with a radio and its files, worded once for the window and
// the command line. Text from outside (file names, system errors) has its control characters
// escaped, the radio's model and version their bytes that are not printable ASCII.
class Wording {
    Q_DECLARE_TR_FUNCTIONS(Wording)
public:
    // A transfer that ended without completing, on the port so described; a write says how far
    // it got. `expectedModel` is the model the radio had to name.
    static Message transferFailed(const TransferFailure& failure, TransferKind kind,
                                  const std::string& port, const WriteProgress& progress,
                                  const std::string& expectedModel);
    // A write refused before anything was sent, and why.
    static Message nothingWritten(Message::Kind kind, const QString& why);
    static Message fieldStopsWrite(const GatherError& error);
    static Message noTerminalToConfirm();
    static Message notConfirmed();
    // A file that could not be loaded or saved; a name of neither kind of file is said as such.
    static Message fileNotLoaded(const Failure& failure);
    static Message fileNotSaved(const Failure& failure);
    static Message settingsNotRead(const Failure& failure);
    // A settings file that is there but is no regular file, and why it is not read.
    static Message settingsRefused(const std::string& why);
    static Message fieldStopsSave(const GatherError& error);
    static Message notACalibrationFileName(const std::filesystem::path& path);

    // What is wrong with a field, naming it by index, name and page.
    static QString fieldProblem(const GatherError& error);
    static QString readComplete();
    static QString writeComplete();
    // What the radio's rest after END holds up, with the whole seconds left.
    static QString restText(RestKind kind, int secondsLeft);
    // The port opened before every program that could hold it was looked at.
    static QString holdersUnchecked();
    static QString checkingWhatTheRadioKeeps();
    // Said by a write that leaves out reading the radio back.
    static QString notReadBack();
    static QString backupKept(const std::filesystem::path& path);
    static QString backupNotKept(const std::string& reason);
    // The file that holds the transfer's exchange, for support.
    static QString transferLogKept(const std::filesystem::path& path);
    // "QV-4120 (version 01.02)", or "the radio" when it named no model.
    static QString radioName(const Identification& radio);
    static QString readInto(const Identification& radio, const std::string& port,
                            const std::filesystem::path& file);
    static QString wroteInto(const std::filesystem::path& file, const Identification& radio,
                             const std::string& port);
    // A value the radio keeps for itself (a write never sends it) that the file holds otherwise.
    static QString radioKeepsItsOwn(const std::string& label, const std::string& radio,
                                    const std::string& file);
    static QString radioHoldsTheFile(const Identification& radio, const std::string& port,
                                     const std::filesystem::path& file);
    static QString valuesDiffer(std::size_t count, const std::filesystem::path& file,
                                const Identification& radio, const std::string& port);

private:
    // A write read back as other than it sent: what differs, and the backup of the radio's
    // memory before the write.
    static Message notKept(const WriteMismatch& mismatch, const std::filesystem::path& backup);
    static QString howFarWritten(const WriteProgress& progress);
    static Message fileFailed(const Failure& failure, const QString& headline);
};

// Text from outside as a QString a terminal and a message box show safely.
QString escapedText(const std::string& text);
QString escapedPath(const std::filesystem::path& path);
// Text from outside made of lines: each is made safe alone, and the lines stay lines.
QString escapedLines(const std::string& text);
// The two texts one below the other; an empty one takes no line.
QString joinLines(const QString& first, const QString& second);

}  // namespace qv
