#pragma once

#include <map>
#include <string>

#include "link/RestRecord.h"

namespace qv::test {

// The rests in memory: one record is the machine every process on it shares.
class FakeRestRecord final : public RestRecord {
public:
    StepTimer::Clock::time_point restsUntil(const std::string& device) override {
        const auto found = rests.find(device);
        return found == rests.end() ? StepTimer::Clock::time_point{} : found->second;
    }
    void rest(const std::string& device, StepTimer::Clock::time_point until) override {
        rests[device] = until;
    }
    void restOver(const std::string& device, StepTimer::Clock::time_point end) override {
        if (restsUntil(device) <= end) {
            rests.erase(device);
        }
    }

    std::map<std::string, StepTimer::Clock::time_point> rests;
};

}  // namespace qv::test
