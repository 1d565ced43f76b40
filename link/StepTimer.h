#pragma once

#include <chrono>
#include <functional>

namespace qv {

// The engine's pauses as steps: a pause before a frame, the quiet window after a block sent
// again, the radio's rest after END. A step ends with a call from the event loop, so nothing
// blocks and no event loop runs inside another.
class StepTimer {
public:
    // System-wide and monotonic, so that processes can share a rest's end.
    using Clock = std::chrono::steady_clock;

    virtual ~StepTimer() = default;
    // Calls the due handler once, `milliseconds` from now, instead of any step still pending.
    virtual void schedule(int milliseconds) = 0;
    virtual void cancel() = 0;
    virtual void setDueHandler(std::function<void()> due) = 0;
    virtual Clock::time_point now() const = 0;
};

}  // namespace qv
