#pragma once

#include <cstdint>
#include <optional>

// The settings every sweep and the timer work from.
struct TMonitorSettings {
    int32_t pingCount = 1;
    int32_t pingWait = 1000;
    int32_t pingTimeOut = 2000;
    int32_t pingSize = 64;
    int32_t pingTTL = 255;
    int32_t AutoTime = 10; // minutes between timed sweeps
    bool AutoExec = false;
    bool Exec = false;
};

// The one process-wide settings record; UI thread only.
extern TMonitorSettings MonitorSettings;

// The timer interval in milliseconds for AutoTime minutes: none when timed
// sweeps cannot run (0 or less), clamped at the longest interval a timer holds.
std::optional<int> TimerIntervalOf(int32_t autoTime);
