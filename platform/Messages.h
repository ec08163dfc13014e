#pragma once

#include <cstdint>

namespace platform {

// Dispatches the events waiting in the calling thread's own queue.
void ProcessMessages();

// How long a thread may go between dispatches while it pauses: 10 ms on the
// thread that owns the windows; a worker owns none, so nothing waits for it
// and it can pause in one step instead of waking a hundred times a second.
uint32_t MessageInterval(uint32_t remaining);

} // namespace platform
