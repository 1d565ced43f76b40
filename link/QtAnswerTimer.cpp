#include "link/QtAnswerTimer.h"

#include "link/TransferLogging.h"

namespace qv {

QtAnswerTimer::QtAnswerTimer(QTimer& timer) : timer_(timer) {
    timer_.setInterval(kIntervalMs);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
        logLinkStep(QStringLiteral("no answer within %1 ms").arg(kIntervalMs));
        if (tick_) {
            tick_();
        }
    });
}

void QtAnswerTimer::start() {
    logLinkStep(QStringLiteral("answer timer started"));
    timer_.start();
}

void QtAnswerTimer::stop() {
    if (timer_.isActive()) {
        logLinkStep(QStringLiteral("answer timer stopped"));
    }
    timer_.stop();
}

void QtAnswerTimer::setTickHandler(std::function<void()> tick) {
    tick_ = std::move(tick);
}

}  // namespace qv
