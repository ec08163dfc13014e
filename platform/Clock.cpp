#include "platform/Clock.h"

#include "platform/StopSignal.h"

#include <atomic>
#include <chrono>
#include <poll.h>

namespace platform {

namespace {

class SystemClock final : public Clock {
public:
    uint32_t TickCount() override
    {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    }

    void Sleep(uint32_t milliseconds) override
    {
        pollfd stop{StopSignalFd(), POLLIN, 0};
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        for (;;) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || StopRequested())
                return;
            if (poll(&stop, 1, static_cast<int>(left.count())) > 0)
                return;
        }
    }
};

SystemClock TheSystemClock;
std::atomic<Clock *> Installed{&TheSystemClock};

} // namespace

Clock &CurrentClock() { return *Installed.load(); }

void SetClock(Clock *clock) { Installed.store(clock ? clock : &TheSystemClock); }

uint32_t GetTickCount() { return CurrentClock().TickCount(); }

void Sleep(uint32_t milliseconds) { CurrentClock().Sleep(milliseconds); }

} // namespace platform
