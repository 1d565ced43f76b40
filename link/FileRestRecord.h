#pragma once

#include <filesystem>

#include "link/RestRecord.h"

namespace qv {

// The rests in small files in a folder of the user's alone, one per device, shared by all the
// user's processes: each holds the rest's end on the system-wide monotonic clock. A device is
// known by its number, so every name of it shares one rest. Anything at a record's name but a
// regular file of the user's own (a link, a FIFO, a folder) is no rest and is never opened
// through; a record is replaced whole, never written in place, and removed once its rest is over.
class FileRestRecord final : public RestRecord {
public:
    explicit FileRestRecord(std::filesystem::path folder);

    StepTimer::Clock::time_point restsUntil(const std::string& device) override;
    void rest(const std::string& device, StepTimer::Clock::time_point until) override;
    void restOver(const std::string& device, StepTimer::Clock::time_point end) override;

private:
    std::filesystem::path pathOf(const std::string& device) const;

    std::filesystem::path folder_;
};

}  // namespace qv
