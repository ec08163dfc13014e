#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// The start-up record the socket library fills.
struct WSAData {
    uint16_t wVersion = 0;     // version in use: low byte major, high byte minor
    uint16_t wHighVersion = 0; // highest version supported, same form
    char szDescription[257] = {};
    char szSystemStatus[129] = {};
    uint16_t iMaxSockets = 0;
    uint16_t iMaxUdpDg = 0;
};

constexpr uint32_t INADDR_NONE_VALUE = 0xFFFFFFFFu;

// The socket library's entry points, replaceable so tests can script start-up
// and name resolution. Every call may come from many threads at once.
class SocketLibrary {
public:
    virtual ~SocketLibrary() = default;
    virtual int Startup(uint16_t requestedVersion, WSAData &data) = 0;
    virtual int Cleanup() = 0;
    // A dotted IPv4 address in network byte order, or all ones.
    virtual uint32_t InetAddr(const std::string &text) = 0;
    // The first IPv4 address of a host name, in network byte order.
    virtual std::optional<uint32_t> ResolveName(const std::string &name) = 0;
};

// The library in use; SetSocketLibrary(nullptr) restores the system's.
SocketLibrary &CurrentSocketLibrary();
void SetSocketLibrary(SocketLibrary *library);

int WSAStartup(uint16_t requestedVersion, WSAData *data);
int WSACleanup();
int WSAGetLastError();
uint32_t inet_addr(const std::string &text);
std::optional<uint32_t> gethostbyname(const std::string &name);
// Dotted decimal text of an address in network byte order.
std::string inet_ntoa(uint32_t address);

} // namespace platform
