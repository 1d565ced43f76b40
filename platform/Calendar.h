#pragma once

// The calendar: Calendar_posix.cpp and Calendar_windows.cpp implement it.

#include <ctime>

namespace qv::platform {

// The calendar time in UTC.
std::tm utc(std::time_t time);

}  // namespace qv::platform
