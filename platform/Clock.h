#pragma once

#include <cstdint>

namespace platform {

// Tick count and sleep, replaceable so tests can run the echo component on a
// clock of their own.
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start, wrapping at 2^32.
    virtual uint32_t TickCount() = 0;
    // Sleeps the calling thread; returns early when a stop is requested.
    virtual void Sleep(uint32_t milliseconds) = 0;
};

// The clock in use; SetClock(nullptr) restores the system clock.
Clock &CurrentClock();
void SetClock(Clock *clock);

uint32_t GetTickCount();
void Sleep(uint32_t milliseconds);

} // namespace platform
