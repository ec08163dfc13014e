#pragma once

#include "platform/Clock.h"
#include "platform/IcmpLibrary.h"
#include "platform/Winsock.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// A platform of our own for tests: a scripted "ICMP.DLL", socket library and
// clock, installed while the object lives. Every call is logged in order, so
// tests can check the sequence of sends, resolutions, reports and sleeps.
class ScriptedPlatform : public platform::SocketLibrary, public platform::Clock {
public:
    // The outcome of one send.
    struct Outcome {
        int32_t Status = 0;
        std::string From; // empty: the destination itself
        uint32_t RTT = 0;
        uint8_t Ttl = 64;
        bool Replied = true; // false: the send returns 0 and Status is the last error
    };
    static Outcome Answer(uint8_t ttl = 64);
    static Outcome Failure(int32_t status);
    static Outcome ErrorFrom(int32_t status, const std::string &from);

    struct Send {
        std::string Destination;
        std::vector<uint8_t> Data;
        uint16_t RequestSize = 0;
        uint8_t Ttl = 0;
        uint32_t ReplySize = 0;
        uint32_t Timeout = 0;
    };

    ScriptedPlatform();
    ~ScriptedPlatform() override;
    ScriptedPlatform(const ScriptedPlatform &) = delete;
    ScriptedPlatform &operator=(const ScriptedPlatform &) = delete;

    // Successive outcomes for sends to a dotted address; once used up, or
    // when none are given, every send is answered.
    void Script(const std::string &destination, std::vector<Outcome> outcomes);
    // Successive answers to resolving a name (nullopt: not found); the last
    // one holds once used up. Names never scripted are not found.
    void ScriptName(const std::string &name, std::vector<std::optional<std::string>> answers);
    // Makes IcmpCreateFile fail with this error (0: open normally again).
    void FailOpen(int error);
    // While held, sends are logged and then wait until Release or a stop
    // request.
    void Hold();
    void Release();

    void Append(const std::string &entry);
    std::vector<std::string> Log() const;
    std::vector<Send> Sends() const;
    int Startups() const;
    int Cleanups() const;
    int OpenHandles() const;

    int StartupResult = 0;
    // Start-ups that succeed before every later one fails (-1: no limit).
    int StartupsBeforeFailure = -1;
    uint16_t Version = 0x0101;
    uint16_t HighVersion = 0x0101;
    std::string Description = "Scripted sockets";
    std::atomic<uint32_t> Now{0};

    // SocketLibrary
    int Startup(uint16_t requestedVersion, platform::WSAData &data) override;
    int Cleanup() override;
    uint32_t InetAddr(const std::string &text) override;
    std::optional<uint32_t> ResolveName(const std::string &name) override;

    // Clock: sleeping advances the tick count.
    uint32_t TickCount() override;
    void Sleep(uint32_t milliseconds) override;

    // The echo library's entry points act on the installed instance.
    platform::HANDLE OpenHandle();
    bool CloseHandle(platform::HANDLE handle);
    uint32_t SendEcho(platform::HANDLE handle, uint32_t destination, void *requestData, uint16_t requestSize,
                      platform::TIPINFO *options, void *replyBuffer, uint32_t replySize, uint32_t timeout);

private:
    void WaitWhileHeld();

    mutable std::mutex Lock;
    std::vector<std::string> Entries;
    std::vector<Send> Sent;
    std::map<std::string, std::deque<Outcome>> Outcomes;
    std::map<std::string, std::deque<std::optional<std::string>>> Names;
    int StartupCount = 0;
    int CleanupCount = 0;
    int Handles = 0;
    int OpenError = 0;
    int ReleaseFd = -1;
    std::atomic<bool> Held{false};
};

// Replaces "ICMP.DLL" with one that cannot be loaded, or one that lacks an
// entry point, while the object lives.
class BrokenEchoLibrary {
public:
    // An empty name makes the library impossible to load.
    explicit BrokenEchoLibrary(const std::string &missingEntryPoint);
    ~BrokenEchoLibrary();
    BrokenEchoLibrary(const BrokenEchoLibrary &) = delete;
    BrokenEchoLibrary &operator=(const BrokenEchoLibrary &) = delete;
};
