#include "link/TransferLogging.h"

#include <chrono>

#include "datafile/CalibrationDocument.h"

Q_LOGGING_CATEGORY(lcLink, "qv.link", QtInfoMsg)

namespace qv {

namespace {

using Clock = std::chrono::steady_clock;

// One line and one thread share the port: one count serves every line of a transfer.
Clock::time_point& transferStart() {
    static Clock::time_point start = Clock::now();
    return start;
}

}  // namespace

QString frameLine(FrameWay way, const Frame& frame) {
    return QString::fromLatin1(way == FrameWay::Sent ? "-> " : "<- ") +
           QString::fromStdString(hexText(frame));
}

void restartTransferTime() {
    transferStart() = Clock::now();
}

QString transferTime() {
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - transferStart());
    return QStringLiteral("%1 ms").arg(elapsed.count(), 6);
}

void logLinkStep(const QString& what) {
    qCDebug(lcLink).noquote() << transferTime() << what;
}

}  // namespace qv
