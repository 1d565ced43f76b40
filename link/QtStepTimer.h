#pragma once

#include <QTimer>

#include "link/StepTimer.h"

namespace qv {

// The engine's steps over a single-shot QTimer on the event loop, to the millisecond.
class QtStepTimer final : public StepTimer {
public:
    QtStepTimer();

    void schedule(int milliseconds) override;
    void cancel() override;
    void setDueHandler(std::function<void()> due) override;
    Clock::time_point now() const override { return Clock::now(); }

private:
    QTimer timer_;
    std::function<void()> due_;
};

}  // namespace qv
