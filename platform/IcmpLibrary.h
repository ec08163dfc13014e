#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace platform {

// Option information passed with a request and returned with a reply.
// Options data travels nowhere in this system, so the record carries no
// pointer and keeps the same size on every target.
struct TIPINFO {
    uint8_t Ttl = 0;
    uint8_t Tos = 0;
    uint8_t IPFlags = 0;
    uint8_t OptSize = 0;
    uint32_t OptionsData = 0;
};
static_assert(sizeof(TIPINFO) == 8);

// The reply record at the start of the reply buffer, followed there by the
// echoed data. Data is the offset of that data from the record's start.
struct TICMPECHO {
    uint32_t Address = 0; // source of the reply, network byte order
    int32_t Status = 0;
    uint32_t RTT = 0;
    uint16_t DataSize = 0;
    uint16_t Reserved = 0;
    uint32_t Data = 0;
    TIPINFO Options;
};
static_assert(sizeof(TICMPECHO) == 28);

using HANDLE = void *;
inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(~uintptr_t{0});

using TIcmpCreateFile = HANDLE (*)();
using TIcmpCloseHandle = bool (*)(HANDLE IcmpHandle);
using TIcmpSendEcho = uint32_t (*)(HANDLE IcmpHandle, uint32_t DestinationAddress, void *RequestData,
                                   uint16_t RequestSize, TIPINFO *RequestOptions, void *ReplyBuffer, uint32_t ReplySize,
                                   uint32_t Timeout);

// IP status codes the echo library reports.
enum IpStatus : int32_t {
    IP_SUCCESS = 0,
    IP_BUF_TOO_SMALL = 11001,
    IP_DEST_NET_UNREACHABLE = 11002,
    IP_DEST_HOST_UNREACHABLE = 11003,
    IP_DEST_PROT_UNREACHABLE = 11004,
    IP_DEST_PORT_UNREACHABLE = 11005,
    IP_NO_RESOURCES = 11006,
    IP_BAD_OPTION = 11007,
    IP_PACKET_TOO_BIG = 11009,
    IP_REQ_TIMED_OUT = 11010,
    IP_BAD_REQ = 11011,
    IP_BAD_ROUTE = 11012,
    IP_TTL_EXPIRED_TRANSIT = 11013,
    IP_TTL_EXPIRED_REASSEM = 11014,
    IP_PARAM_PROBLEM = 11015,
    IP_SOURCE_QUENCH = 11016,
    IP_GENERAL_FAILURE = 11050,
};

// The largest echo data an IPv4 packet can carry.
constexpr int32_t MaxEchoDataSize = 65507;

// The built-in "ICMP.DLL": IcmpCreateFile, IcmpCloseHandle and IcmpSendEcho
// on Linux ICMP sockets. When IcmpCreateFile fails it returns
// INVALID_HANDLE_VALUE and leaves errno in the thread's last error.
std::map<std::string, void *> IcmpEntryPoints();

// Maps an ICMP error (type, code) to the status it is reported as.
int32_t StatusOfIcmpError(uint8_t type, uint8_t code);

} // namespace platform
