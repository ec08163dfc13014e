#pragma once

namespace platform {

// One process-wide signal that tells every running echo component to stop.
// Waits in the echo layer poll StopSignalFd() so they wake at once.
void RequestStop();
bool StopRequested();
// Re-arms the signal once every component that saw it has returned.
void ClearStop();
// An eventfd that is readable while a stop is requested.
int StopSignalFd();

} // namespace platform
