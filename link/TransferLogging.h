#pragma once

#include <QLoggingCategory>
#include <QString>

#include "link/Frames.h"

// The serial line's frames and timers, silent unless the logging rules or a transfer log turn
// it on.
Q_DECLARE_LOGGING_CATEGORY(lcLink)

namespace qv {

enum class FrameWay { Sent, Received };

// A frame as every log and the trace show it: "-> 41 43 ..." sent, "<- 06" received.
QString frameLine(FrameWay way, const Frame& frame);

// Starts the count that transferTime() gives: at every opening of the port.
void restartTransferTime();
// The milliseconds since the port was last opened, right-aligned: "   123 ms".
QString transferTime();

// Logs `what` under qv.link after the transfer's time.
void logLinkStep(const QString& what);

}  // namespace qv
