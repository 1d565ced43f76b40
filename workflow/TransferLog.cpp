#include "workflow/TransferLog.h"

#include <QRegularExpression>
#include <algorithm>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "datafile/Backups.h"
#include "datafile/SafeFile.h"
#include "platform/RuntimeFolder.h"

Q_LOGGING_CATEGORY(lcWorkflow, "qv.workflow", QtInfoMsg)

namespace qv {

namespace fs = std::filesystem;

namespace {

// The hooks are the process's own: one set, shared by captures nested like a stack.
struct CaptureHooks {
    const LogCapture* current = nullptr;
    QLoggingCategory::CategoryFilter rulesFilter = nullptr;
    QtMessageHandler consoleHandler = nullptr;
    // The tool's categories whose debug lines the rules themselves show.
    std::set<std::string> shownByRules;
};

CaptureHooks& hooks() {
    static CaptureHooks instance;
    return instance;
}

bool isOwnCategory(const char* name) {
    return name != nullptr && std::string_view(name).starts_with("qv.");
}

// Called for every category at its first use and whenever the rules change.
void enableOwnCategories(QLoggingCategory* category) {
    hooks().rulesFilter(category);
    if (!isOwnCategory(category->categoryName())) {
        return;
    }
    if (category->isDebugEnabled()) {
        hooks().shownByRules.insert(category->categoryName());
    } else {
        hooks().shownByRules.erase(category->categoryName());
    }
    category->setEnabled(QtDebugMsg, true);
}

void captureOwnLines(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (isOwnCategory(context.category)) {
        hooks().current->take(qFormatLogMessage(type, context, text));
        if (!hooks().shownByRules.contains(context.category)) {
            return;
        }
    }
    hooks().consoleHandler(type, context, text);
}

// Only files of the names this tool gives are ever removed.
std::vector<fs::path> ownLogsOldestFirst(const fs::path& folder) {
    static const QRegularExpression kOwnName(
        QStringLiteral(R"(^\d{8}T\d{6}Z_(read|write|identify)(-\d+)?\.log$)"));
    std::vector<fs::path> logs;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        if (entry.is_regular_file(error) &&
            kOwnName.match(QString::fromStdString(entry.path().filename().string())).hasMatch()) {
            logs.push_back(entry.path());
        }
    }
    std::sort(logs.begin(), logs.end());
    return logs;
}

void removeOldestLogs(const fs::path& folder) {
    const std::vector<fs::path> logs = ownLogsOldestFirst(folder);
    const auto surplus = static_cast<std::ptrdiff_t>(logs.size()) - TransferLog::kKeptFiles;
    for (auto it = logs.begin(); it < logs.begin() + std::max<std::ptrdiff_t>(surplus, 0); ++it) {
        std::error_code ignored;
        fs::remove(*it, ignored);
    }
}

}  // namespace

const char* transferName(TransferKind kind) {
    switch (kind) {
        case TransferKind::Read:
            return "read";
        case TransferKind::Write:
            return "write";
        case TransferKind::Identify:
            return "identify";
    }
    return "transfer";
}

LogCapture::LogCapture(Sink sink) : sink_(std::move(sink)), outer_(hooks().current) {
    hooks().current = this;
    if (outer_ == nullptr) {
        // The filter runs over every category as it is installed: the rules' own filter must be
        // known first.
        hooks().rulesFilter = QLoggingCategory::installFilter(nullptr);
        QLoggingCategory::installFilter(enableOwnCategories);
        hooks().consoleHandler = qInstallMessageHandler(captureOwnLines);
    }
}

LogCapture::~LogCapture() {
    hooks().current = outer_;
    if (outer_ == nullptr) {
        QLoggingCategory::installFilter(hooks().rulesFilter);
        qInstallMessageHandler(hooks().consoleHandler);
    }
}

TransferLog::TransferLog()
    : capture_([this](const QString& line) {
          if (collecting_) {
              lines_ << line;
          }
      }) {}

void TransferLog::begin() {
    lines_.clear();
    collecting_ = true;
}

std::optional<fs::path> TransferLog::keep(const fs::path& folder, TransferKind kind) {
    collecting_ = false;
    if (platform::makePrivateFolderAndParents(folder)) {
        return std::nullopt;
    }
    const std::string name =
        timeInName(utcTime(std::chrono::system_clock::now())) + "_" + transferName(kind);
    const QByteArray text = (lines_.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    const auto kept = createUniqueFile(folder, numberedNames(name, "log"),
                                       {reinterpret_cast<const std::uint8_t*>(text.data()),
                                        static_cast<std::size_t>(text.size())});
    lines_.clear();
    removeOldestLogs(folder);
    if (kept) {
        return *kept;
    }
    return std::nullopt;
}

}  // namespace qv
