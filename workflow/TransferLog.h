#pragma once

#include <QLoggingCategory>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <optional>

#include "link/TransferListener.h"

// What the work with the radio comes to, silent unless the logging rules or a transfer log turn
// it on.
Q_DECLARE_LOGGING_CATEGORY(lcWorkflow)

namespace qv {

// "read", "write", "identify": as logs and their files name the transfer.
const char* transferName(TransferKind kind);

// While it lives, hands every line of the tool's own logging categories (qv.*) to `sink`, as
// the console would show it, whether or not the logging rules show them; the lines the rules
// show still go to the console. Made and ended in the order of a stack.
class LogCapture {
public:
    using Sink = std::function<void(const QString& line)>;

    explicit LogCapture(Sink sink);
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    void take(const QString& line) const { sink_(line); }

private:
    Sink sink_;
    const LogCapture* outer_;
};

// The window's record of its transfers for support: the log lines of one transfer at a time,
// kept as a file of their own when it ends. A log that cannot be kept changes nothing else.
class TransferLog {
public:
    static constexpr int kKeptFiles = 20;

    TransferLog();

    void begin();
    // Writes the lines since begin() to a new file in `folder` (made for the user alone), named
    // by the time and `kind`, and removes this tool's oldest logs there beyond kKeptFiles. The
    // file's path, or none when it could not be written.
    std::optional<std::filesystem::path> keep(const std::filesystem::path& folder,
                                              TransferKind kind);

private:
    QStringList lines_;
    bool collecting_ = false;
    LogCapture capture_;
};

}  // namespace qv
