#pragma once

#include <functional>

namespace qv {

// The answer timer: it ticks every answer window until stopped.
class AnswerTimer {
public:
    // How long the radio has to answer a frame.
    static constexpr int kIntervalMs = 500;

    virtual ~AnswerTimer() = default;
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual void setTickHandler(std::function<void()> tick) = 0;
};

}  // namespace qv
