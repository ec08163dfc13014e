#include "tests/support/ScriptedPlatform.h"

#include "platform/LastError.h"
#include "platform/Libraries.h"
#include "platform/StopSignal.h"

#include <arpa/inet.h>
#include <cstring>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

std::atomic<ScriptedPlatform *> Installed{nullptr};

ScriptedPlatform &Current()
{
    ScriptedPlatform *platform = Installed.load();
    if (!platform)
        throw std::logic_error("no scripted platform installed");
    return *platform;
}

platform::HANDLE ScriptedCreateFile() { return Current().OpenHandle(); }

bool ScriptedCloseHandle(platform::HANDLE handle) { return Current().CloseHandle(handle); }

uint32_t ScriptedSendEcho(platform::HANDLE handle, uint32_t destination, void *requestData, uint16_t requestSize,
                          platform::TIPINFO *options, void *replyBuffer, uint32_t replySize, uint32_t timeout)
{
    return Current().SendEcho(handle, destination, requestData, requestSize, options, replyBuffer, replySize, timeout);
}

std::map<std::string, void *> ScriptedEntryPoints()
{
    return {
        {"IcmpCreateFile", reinterpret_cast<void *>(&ScriptedCreateFile)},
        {"IcmpCloseHandle", reinterpret_cast<void *>(&ScriptedCloseHandle)},
        {"IcmpSendEcho", reinterpret_cast<void *>(&ScriptedSendEcho)},
    };
}

std::string Dotted(uint32_t address) { return platform::inet_ntoa(address); }

} // namespace

ScriptedPlatform::Outcome ScriptedPlatform::Answer(uint8_t ttl) { return Outcome{0, {}, 0, ttl, true}; }

ScriptedPlatform::Outcome ScriptedPlatform::Failure(int32_t status) { return Outcome{status, {}, 0, 0, false}; }

ScriptedPlatform::Outcome ScriptedPlatform::ErrorFrom(int32_t status, const std::string &from)
{
    return Outcome{status, from, 0, 0, true};
}

ScriptedPlatform::ScriptedPlatform() : ReleaseFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    ScriptedPlatform *none = nullptr;
    if (!Installed.compare_exchange_strong(none, this))
        throw std::logic_error("a scripted platform is already installed");
    platform::SetSocketLibrary(this);
    platform::SetClock(this);
    platform::RegisterLibrary("ICMP.DLL", ScriptedEntryPoints());
}

ScriptedPlatform::~ScriptedPlatform()
{
    platform::RestoreLibraries();
    platform::SetClock(nullptr);
    platform::SetSocketLibrary(nullptr);
    Installed.store(nullptr);
    close(ReleaseFd);
}

void ScriptedPlatform::Script(const std::string &destination, std::vector<Outcome> outcomes)
{
    std::lock_guard guard(Lock);
    Outcomes[destination] = std::deque<Outcome>(outcomes.begin(), outcomes.end());
}

void ScriptedPlatform::ScriptName(const std::string &name, std::vector<std::optional<std::string>> answers)
{
    std::lock_guard guard(Lock);
    Names[name] = std::deque<std::optional<std::string>>(answers.begin(), answers.end());
}

void ScriptedPlatform::FailOpen(int error)
{
    std::lock_guard guard(Lock);
    OpenError = error;
}

void ScriptedPlatform::Hold() { Held.store(true); }

void ScriptedPlatform::Release()
{
    Held.store(false);
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(ReleaseFd, &one, sizeof one);
}

void ScriptedPlatform::Append(const std::string &entry)
{
    std::lock_guard guard(Lock);
    Entries.push_back(entry);
}

std::vector<std::string> ScriptedPlatform::Log() const
{
    std::lock_guard guard(Lock);
    return Entries;
}

std::vector<ScriptedPlatform::Send> ScriptedPlatform::Sends() const
{
    std::lock_guard guard(Lock);
    return Sent;
}

int ScriptedPlatform::Startups() const
{
    std::lock_guard guard(Lock);
    return StartupCount;
}

int ScriptedPlatform::Cleanups() const
{
    std::lock_guard guard(Lock);
    return CleanupCount;
}

int ScriptedPlatform::OpenHandles() const
{
    std::lock_guard guard(Lock);
    return Handles;
}

int ScriptedPlatform::Startup(uint16_t, platform::WSAData &data)
{
    std::lock_guard guard(Lock);
    ++StartupCount;
    data = platform::WSAData{};
    data.wVersion = Version;
    data.wHighVersion = HighVersion;
    std::strncpy(data.szDescription, Description.c_str(), sizeof data.szDescription - 1);
    data.iMaxSockets = 256;
    data.iMaxUdpDg = 65467;
    if (StartupsBeforeFailure >= 0 && StartupCount > StartupsBeforeFailure)
        return 10091;
    return StartupResult;
}

int ScriptedPlatform::Cleanup()
{
    std::lock_guard guard(Lock);
    ++CleanupCount;
    return 0;
}

uint32_t ScriptedPlatform::InetAddr(const std::string &text) { return ::inet_addr(text.c_str()); }

std::optional<uint32_t> ScriptedPlatform::ResolveName(const std::string &name)
{
    std::lock_guard guard(Lock);
    Entries.push_back("resolve " + name);
    auto found = Names.find(name);
    if (found == Names.end() || found->second.empty())
        return std::nullopt;
    const std::optional<std::string> answer = found->second.front();
    if (found->second.size() > 1)
        found->second.pop_front();
    if (!answer)
        return std::nullopt;
    return ::inet_addr(answer->c_str());
}

uint32_t ScriptedPlatform::TickCount() { return Now.load(); }

void ScriptedPlatform::Sleep(uint32_t milliseconds)
{
    Append("sleep " + std::to_string(milliseconds));
    Now.fetch_add(milliseconds);
}

platform::HANDLE ScriptedPlatform::OpenHandle()
{
    std::lock_guard guard(Lock);
    if (OpenError) {
        platform::SetLastError(OpenError);
        return platform::INVALID_HANDLE_VALUE;
    }
    ++Handles;
    Entries.push_back("open");
    return new int(Handles);
}

bool ScriptedPlatform::CloseHandle(platform::HANDLE handle)
{
    if (!handle || handle == platform::INVALID_HANDLE_VALUE)
        return false;
    delete static_cast<int *>(handle);
    std::lock_guard guard(Lock);
    --Handles;
    Entries.push_back("close");
    return true;
}

void ScriptedPlatform::WaitWhileHeld()
{
    pollfd waits[2] = {{ReleaseFd, POLLIN, 0}, {platform::StopSignalFd(), POLLIN, 0}};
    while (Held.load() && !platform::StopRequested())
        poll(waits, 2, -1);
}

uint32_t ScriptedPlatform::SendEcho(platform::HANDLE handle, uint32_t destination, void *requestData,
                                    uint16_t requestSize, platform::TIPINFO *options, void *replyBuffer,
                                    uint32_t replySize, uint32_t timeout)
{
    Outcome outcome = Answer();
    {
        std::lock_guard guard(Lock);
        if (!handle || handle == platform::INVALID_HANDLE_VALUE) {
            // As the system's library does: no socket, no echo.
            platform::SetLastError(platform::IP_GENERAL_FAILURE);
            return 0;
        }
        const std::string to = Dotted(destination);
        const auto *bytes = static_cast<const uint8_t *>(requestData);
        Sent.push_back(Send{to, std::vector<uint8_t>(bytes, bytes + requestSize), requestSize,
                            options ? options->Ttl : uint8_t{0}, replySize, timeout});
        Entries.push_back("send " + to);
        auto &queue = Outcomes[to];
        if (!queue.empty()) {
            outcome = queue.front();
            queue.pop_front();
        }
    }
    WaitWhileHeld();
    platform::TICMPECHO record;
    record.Address = outcome.From.empty() ? destination : ::inet_addr(outcome.From.c_str());
    record.Status = outcome.Status;
    record.RTT = outcome.RTT;
    record.Options.Ttl = outcome.Ttl;
    if (!outcome.Replied) {
        record = platform::TICMPECHO{};
        platform::SetLastError(outcome.Status);
    }
    std::memcpy(replyBuffer, &record, sizeof record);
    return outcome.Replied ? 1 : 0;
}

BrokenEchoLibrary::BrokenEchoLibrary(const std::string &missingEntryPoint)
{
    if (missingEntryPoint.empty()) {
        platform::RefuseLibrary("ICMP.DLL");
        return;
    }
    auto entries = ScriptedEntryPoints();
    entries.erase(missingEntryPoint);
    platform::RegisterLibrary("ICMP.DLL", entries);
}

BrokenEchoLibrary::~BrokenEchoLibrary()
{
    platform::RestoreLibraries();
    if (Installed.load())
        platform::RegisterLibrary("ICMP.DLL", ScriptedEntryPoints());
}
