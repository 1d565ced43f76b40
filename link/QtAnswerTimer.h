#pragma once

#include <QTimer>

#include "link/AnswerTimer.h"

namespace qv {

// The answer timer on the Qt event loop.
class QtAnswerTimer final : public AnswerTimer {
public:
    static constexpr int kIntervalMs = 500;

    explicit QtAnswerTimer(int intervalMs = kIntervalMs);

    void Start() override;
    void Stop() override;
    void SetTickHandler(std::function<void()> tick) override;

private:
    QTimer timer_;
    std::function<void()> tick_;
};

}  // namespace qv
