#include "platform/Winsock.h"

#include "platform/LastError.h"

#include <arpa/inet.h>
#include <atomic>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace platform {

namespace {

// Linux needs no start-up; the record describes what our layer offers.
class SystemSocketLibrary final : public SocketLibrary {
public:
    int Startup(uint16_t, WSAData &data) override
    {
        data = WSAData{};
        data.wVersion = 0x0101;
        data.wHighVersion = 0x0202;
        std::strncpy(data.szDescription, "Quorvel Linux sockets", sizeof data.szDescription - 1);
        std::strncpy(data.szSystemStatus, "Running", sizeof data.szSystemStatus - 1);
        data.iMaxSockets = 32767;
        data.iMaxUdpDg = 65467;
        return 0;
    }

    int Cleanup() override { return 0; }

    uint32_t InetAddr(const std::string &text) override
    {
        if (text.find('\0') != std::string::npos)
            return INADDR_NONE_VALUE;
        return ::inet_addr(text.c_str());
    }

    std::optional<uint32_t> ResolveName(const std::string &name) override
    {
        if (name.empty() || name.find('\0') != std::string::npos)
            return std::nullopt;
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_RAW;
        addrinfo *found = nullptr;
        if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || !found)
            return std::nullopt;
        std::optional<uint32_t> first;
        for (const addrinfo *entry = found; entry && !first; entry = entry->ai_next)
            if (entry->ai_family == AF_INET && entry->ai_addrlen >= sizeof(sockaddr_in))
                first = reinterpret_cast<const sockaddr_in *>(entry->ai_addr)->sin_addr.s_addr;
        freeaddrinfo(found);
        return first;
    }
};

SystemSocketLibrary TheSystemLibrary;
std::atomic<SocketLibrary *> Installed{&TheSystemLibrary};

} // namespace

SocketLibrary &CurrentSocketLibrary() { return *Installed.load(); }

void SetSocketLibrary(SocketLibrary *library) { Installed.store(library ? library : &TheSystemLibrary); }

int WSAStartup(uint16_t requestedVersion, WSAData *data)
{
    return CurrentSocketLibrary().Startup(requestedVersion, *data);
}

int WSACleanup() { return CurrentSocketLibrary().Cleanup(); }

int WSAGetLastError() { return GetLastError(); }

uint32_t inet_addr(const std::string &text) { return CurrentSocketLibrary().InetAddr(text); }

std::optional<uint32_t> gethostbyname(const std::string &name) { return CurrentSocketLibrary().ResolveName(name); }

std::string inet_ntoa(uint32_t address)
{
    in_addr in{};
    in.s_addr = address;
    char text[INET_ADDRSTRLEN] = {};
    return ::inet_ntop(AF_INET, &in, text, sizeof text) ? std::string(text) : std::string("0.0.0.0");
}

} // namespace platform
