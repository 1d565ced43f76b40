#pragma once

#include <string>

#include "link/StepTimer.h"

namespace qv {

// When each device's radio rests after END: no frame may go to it until then, from this process
// or another.
class RestRecord {
public:
    virtual ~RestRecord() = default;
    // The end of the device's rest; a time already past (the clock's epoch) when none is known.
    virtual StepTimer::Clock::time_point restsUntil(const std::string& device) = 0;
    virtual void rest(const std::string& device, StepTimer::Clock::time_point until) = 0;
    // The device's rest that ended at `end` is over: its record goes, unless it holds a later one.
    virtual void restOver(const std::string& device, StepTimer::Clock::time_point end) = 0;
};

}  // namespace qv
