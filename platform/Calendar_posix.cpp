#include "platform/Calendar.h"

namespace qv::platform {

// gmtime_r, not gmtime: no static result for another caller to overwrite.
std::tm utc(std::time_t time) {
    std::tm calendar{};
    ::gmtime_r(&time, &calendar);
    return calendar;
}

}  // namespace qv::platform
