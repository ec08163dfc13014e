#include "platform/LastError.h"

namespace platform {

namespace {
thread_local int ThreadLastError = 0;
}

int GetLastError() { return ThreadLastError; }

void SetLastError(int error) { ThreadLastError = error; }

} // namespace platform
