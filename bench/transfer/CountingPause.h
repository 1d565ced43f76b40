#pragma once

#include "link/Pause.h"

namespace qv::bench {

// Passes every pause to the real one and adds up the time asked for.
class CountingPause final : public Pause {
public:
    explicit CountingPause(Pause& pause) : pause_(pause) {}
    void sleep(int milliseconds) override {
        total += milliseconds;
        pause_.sleep(milliseconds);
    }
    long total = 0;

private:
    Pause& pause_;
};

}  // namespace qv::bench
