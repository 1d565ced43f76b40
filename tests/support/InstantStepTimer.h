#pragma once

#include <QTimer>
#include <algorithm>
#include <functional>

#include "link/StepTimer.h"

namespace qv::test {

// Ends each step as soon as the event loop turns, on a clock that then jumps to the step's end:
// the engine's pauses and rests cost no time, and events still come between its steps. While
// held, a step scheduled waits.
class InstantStepTimer final : public StepTimer {
public:
    InstantStepTimer() {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
            time_ = std::max(time_, due_);
            handler_();
        });
    }
    void schedule(int milliseconds) override {
        due_ = time_ + std::chrono::milliseconds(milliseconds);
        if (!held) {
            timer_.start(0);
        }
    }
    void cancel() override { timer_.stop(); }
    void setDueHandler(std::function<void()> due) override { handler_ = std::move(due); }
    Clock::time_point now() const override { return time_; }

    bool held = false;

private:
    QTimer timer_;
    Clock::time_point time_{std::chrono::hours(1)};
    Clock::time_point due_;
    std::function<void()> handler_;
};

}  // namespace qv::test
