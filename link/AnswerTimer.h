#pragma once

#include <functional>

namespace qv {

// The 500 ms answer timer: it ticks until stopped.
class AnswerTimer {
public:
    virtual ~AnswerTimer() = default;
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual void setTickHandler(std::function<void()> tick) = 0;
};

}  // namespace qv
