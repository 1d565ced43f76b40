#pragma once

#include <string>

namespace qv {

// What the window's status line shows of a running transfer.
class TransferObserver {
public:
    virtual ~TransferObserver() = default;
    // A read sends the request for block `block` (1..count), or a write sends that block.
    virtual void blockStarted(bool writing, int block, int count) = 0;
    virtual void radioIdentified(const std::string& model, const std::string& version) = 0;
    // The transfer is idle again, however it ended.
    virtual void transferEnded() = 0;
};

}  // namespace qv
