#include "link/QtAnswerTimer.h"

namespace qv {

QtAnswerTimer::QtAnswerTimer(QTimer& timer) : timer_(timer) {
    timer_.setInterval(kIntervalMs);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
        if (tick_) {
            tick_();
        }
    });
}

void QtAnswerTimer::start() {
    timer_.start();
}

void QtAnswerTimer::stop() {
    timer_.stop();
}

void QtAnswerTimer::setTickHandler(std::function<void()> tick) {
    tick_ = std::move(tick);
}

}  // namespace qv
