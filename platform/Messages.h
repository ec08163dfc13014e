#pragma once

namespace platform {

// Dispatches the events waiting in the calling thread's own queue.
void ProcessMessages();

} // namespace platform
