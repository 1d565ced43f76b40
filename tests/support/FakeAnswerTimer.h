#pragma once

#include <functional>
#include <utility>

#include "link/AnswerTimer.h"

namespace qv::test {

// Runs while started; the test calls `tick` for 500 ms without an answer.
class FakeAnswerTimer final : public AnswerTimer {
public:
    void start() override { running = true; }
    void stop() override { running = false; }
    void setTickHandler(std::function<void()> handler) override { tick = std::move(handler); }

    bool running = false;
    std::function<void()> tick;
};

}  // namespace qv::test
