#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "link/StepTimer.h"

namespace qv::test {

// Ends its step only when told, on a clock that moves only then (or when a test sets it); notes
// every step asked for.
class FakeStepTimer final : public StepTimer {
public:
    void schedule(int milliseconds) override {
        scheduled.push_back(milliseconds);
        due_ = time + std::chrono::milliseconds(milliseconds);
    }
    void cancel() override { due_.reset(); }
    void setDueHandler(std::function<void()> due) override { handler_ = std::move(due); }
    Clock::time_point now() const override { return time; }

    bool pending() const { return due_.has_value(); }
    // Moves the clock to the pending step and ends it; false when none is pending.
    bool fire() {
        if (!due_) {
            return false;
        }
        time = std::max(time, *std::exchange(due_, std::nullopt));
        handler_();
        return true;
    }

    std::vector<int> scheduled;
    // Well past the clock's epoch, where "no rest" lies.
    Clock::time_point time{std::chrono::hours(1)};

private:
    std::optional<Clock::time_point> due_;
    std::function<void()> handler_;
};

}  // namespace qv::test
