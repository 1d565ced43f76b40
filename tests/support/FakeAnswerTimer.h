#pragma once

#include <functional>
#include <utility>

#include "link/AnswerTimer.h"

namespace qv::test {

class FakeAnswerTimer final : public AnswerTimer {
public:
    void start() override { running = true; }
    void stop() override { running = false; }
    void setTickHandler(std::function<void()> tick) override { tick_ = std::move(tick); }

    // 500 ms pass without an answer.
    void expire() {
        if (running) {
            tick_();
        }
    }

    bool running = false;

private:
    std::function<void()> tick_;
};

}  // namespace qv::test
