#include "link/QtStepTimer.h"

namespace qv {

QtStepTimer::QtStepTimer() {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
        if (due_) {
            due_();
        }
    });
}

void QtStepTimer::schedule(int milliseconds) {
    timer_.start(milliseconds);
}

void QtStepTimer::cancel() {
    timer_.stop();
}

void QtStepTimer::setDueHandler(std::function<void()> due) {
    due_ = std::move(due);
}

}  // namespace qv
