#pragma once

#include <functional>

namespace qv {

// The 500 ms answer timer: it ticks until stopped.
class AnswerTimer {
public:
    virtual ~AnswerTimer() = default;
    virtual void Start() = 0;
    virtual void Stop() = 0;
    virtual void SetTickHandler(std::function<void()> tick) = 0;
};

}  // namespace qv
