#include "link/QtStepTimer.h"

#include "link/TransferLogging.h"

namespace qv {

QtStepTimer::QtStepTimer() {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
        logLinkStep(QStringLiteral("pause over"));
        if (due_) {
            due_();
        }
    });
}

void QtStepTimer::schedule(int milliseconds) {
    logLinkStep(QStringLiteral("pause of %1 ms").arg(milliseconds));
    timer_.start(milliseconds);
}

void QtStepTimer::cancel() {
    if (timer_.isActive()) {
        logLinkStep(QStringLiteral("pause cancelled"));
    }
    timer_.stop();
}

void QtStepTimer::setDueHandler(std::function<void()> due) {
    due_ = std::move(due);
}

}  // namespace qv
