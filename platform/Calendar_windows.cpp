#include "platform/Calendar.h"

namespace qv::platform {

std::tm utc(std::time_t time) {
    std::tm calendar{};
    ::gmtime_s(&calendar, &time);
    return calendar;
}

}  // namespace qv::platform
