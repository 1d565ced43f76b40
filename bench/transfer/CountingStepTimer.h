#pragma once

#include "link/StepTimer.h"

namespace qv::bench {

// Passes every step to the real timer and adds up the time of those that ran to their end.
class CountingStepTimer final : public StepTimer {
public:
    explicit CountingStepTimer(StepTimer& steps) : steps_(steps) {}
    void schedule(int milliseconds) override {
        pending_ = milliseconds;
        steps_.schedule(milliseconds);
    }
    void cancel() override { steps_.cancel(); }
    void setDueHandler(std::function<void()> due) override {
        steps_.setDueHandler([this, due = std::move(due)] {
            total += pending_;
            due();
        });
    }
    Clock::time_point now() const override { return steps_.now(); }

    long total = 0;

private:
    StepTimer& steps_;
    int pending_ = 0;
};

}  // namespace qv::bench
