#include "monitor/MonitorSettings.h"

#include <climits>

TMonitorSettings MonitorSettings;

std::optional<int> TimerIntervalOf(int32_t autoTime)
{
    if (autoTime <= 0)
        return std::nullopt;
    const int64_t milliseconds = int64_t{autoTime} * 60000;
    return milliseconds > INT_MAX ? INT_MAX : static_cast<int>(milliseconds);
}
