#include "platform/StopSignal.h"

#include <atomic>
#include <cstdint>
#include <stdexcept>
#include <sys/eventfd.h>
#include <unistd.h>

namespace platform {

namespace {

std::atomic<bool> Stopping{false};

int CreateStopFd()
{
    const int fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (fd < 0)
        throw std::runtime_error("eventfd failed");
    return fd;
}

} // namespace

int StopSignalFd()
{
    static const int fd = CreateStopFd();
    return fd;
}

void RequestStop()
{
    Stopping.store(true);
    const uint64_t one = 1;
    // The counter only needs to be non-zero; a full counter is still readable.
    [[maybe_unused]] const ssize_t written = write(StopSignalFd(), &one, sizeof one);
}

bool StopRequested() { return Stopping.load(); }

void ClearStop()
{
    uint64_t value = 0;
    [[maybe_unused]] const ssize_t got = read(StopSignalFd(), &value, sizeof value);
    Stopping.store(false);
}

} // namespace platform
