#pragma once

#include <string>

namespace qv {

// What the window's status line shows of a running transfer.
class TransferObserver {
public:
    virtual ~TransferObserver() = default;
    // A read sends the request for block `block` (1..count), or a write sends that block.
    virtual void BlockStarted(bool writing, int block, int count) = 0;
    virtual void RadioIdentified(const std::string& model, const std::string& version) = 0;
    // The transfer is idle again, however it ended.
    virtual void TransferEnded() = 0;
};

}  // namespace qv
