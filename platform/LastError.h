#pragma once

namespace platform {

// The calling thread's last error, set by the echo library when a send fails.
int GetLastError();
void SetLastError(int error);

} // namespace platform
