#pragma once

#include <QString>

#include "link/RestRecord.h"

namespace qv {

// The rests in small files, one per device (named after its canonical path), shared by every
// process on the machine: each holds the rest's end on the system-wide monotonic clock. A file
// that cannot be read or holds anything else is no rest; a file is replaced whole, never
// written in place.
class FileRestRecord final : public RestRecord {
public:
    // The system's temporary folder by default, which every user of a device shares.
    explicit FileRestRecord(QString folder = {});

    StepTimer::Clock::time_point restsUntil(const std::string& device) override;
    void rest(const std::string& device, StepTimer::Clock::time_point until) override;

private:
    QString pathOf(const std::string& device) const;

    QString folder_;
};

}  // namespace qv
