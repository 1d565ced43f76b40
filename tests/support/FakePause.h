#pragma once

#include <string>
#include <vector>

#include "link/Pause.h"

namespace qv::test {

// Returns at once, noting the pause asked for.
class FakePause final : public Pause {
public:
    explicit FakePause(std::vector<std::string>& journal) : journal_(journal) {}
    void sleep(int milliseconds) override {
        journal_.push_back("pause " + std::to_string(milliseconds));
    }

private:
    std::vector<std::string>& journal_;
};

}  // namespace qv::test
