#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// Building and reading ICMP echo packets. Received bytes are untrusted: every
// length is checked before it is read.
namespace platform::icmp {

constexpr size_t EchoHeaderSize = 8;

// An echo request: type 8, code 0, identifier, sequence, the data, and the
// checksum over all of it.
std::vector<uint8_t> BuildEchoRequest(uint16_t identifier, uint16_t sequence, const uint8_t *data, size_t size);

uint16_t Checksum(const uint8_t *bytes, size_t size);

struct EchoHeader {
    uint8_t Type = 0;
    uint8_t Code = 0;
    uint16_t Identifier = 0;
    uint16_t Sequence = 0;
};

// The echo header at the start of an ICMP message.
std::optional<EchoHeader> ReadEchoHeader(const uint8_t *bytes, size_t size);

struct EchoReply {
    EchoHeader Header;
    uint8_t Ttl = 0;       // only where the IP header came with the packet
    size_t DataOffset = 0; // from the start of the packet
    size_t DataSize = 0;
};

// An echo reply (type 0) as a datagram socket delivers it: ICMP alone.
std::optional<EchoReply> ReadDatagramReply(const uint8_t *bytes, size_t size);
// An echo reply as a raw socket delivers it: IPv4 header, then ICMP.
std::optional<EchoReply> ReadRawReply(const uint8_t *bytes, size_t size);

} // namespace platform::icmp
