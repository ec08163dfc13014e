#include "platform/IcmpPackets.h"

#include <cstring>

namespace platform::icmp {

namespace {

constexpr uint8_t EchoReplyType = 0;
constexpr uint8_t EchoRequestType = 8;
constexpr size_t MinIpHeaderSize = 20;

uint16_t ReadBigEndian16(const uint8_t *bytes) { return static_cast<uint16_t>(bytes[0] << 8 | bytes[1]); }

std::optional<EchoReply> ReadReplyAt(const uint8_t *bytes, size_t size, size_t offset)
{
    const auto header = ReadEchoHeader(bytes + offset, size - offset);
    if (!header || header->Type != EchoReplyType || header->Code != 0)
        return std::nullopt;
    EchoReply reply;
    reply.Header = *header;
    reply.DataOffset = offset + EchoHeaderSize;
    reply.DataSize = size - reply.DataOffset;
    return reply;
}

} // namespace

uint16_t Checksum(const uint8_t *bytes, size_t size)
{
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < size; i += 2)
        sum += ReadBigEndian16(bytes + i);
    if (size % 2)
        sum += static_cast<uint32_t>(bytes[size - 1]) << 8;
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint16_t>(~sum);
}

std::vector<uint8_t> BuildEchoRequest(uint16_t identifier, uint16_t sequence, const uint8_t *data, size_t size)
{
    std::vector<uint8_t> packet(EchoHeaderSize + size);
    packet[0] = EchoRequestType;
    packet[4] = static_cast<uint8_t>(identifier >> 8);
    packet[5] = static_cast<uint8_t>(identifier);
    packet[6] = static_cast<uint8_t>(sequence >> 8);
    packet[7] = static_cast<uint8_t>(sequence);
    if (size)
        std::memcpy(packet.data() + EchoHeaderSize, data, size);
    const uint16_t sum = Checksum(packet.data(), packet.size());
    packet[2] = static_cast<uint8_t>(sum >> 8);
    packet[3] = static_cast<uint8_t>(sum);
    return packet;
}

std::optional<EchoHeader> ReadEchoHeader(const uint8_t *bytes, size_t size)
{
    if (!bytes || size < EchoHeaderSize)
        return std::nullopt;
    return EchoHeader{bytes[0], bytes[1], ReadBigEndian16(bytes + 4), ReadBigEndian16(bytes + 6)};
}

std::optional<EchoReply> ReadDatagramReply(const uint8_t *bytes, size_t size)
{
    if (!bytes)
        return std::nullopt;
    return ReadReplyAt(bytes, size, 0);
}

std::optional<EchoReply> ReadRawReply(const uint8_t *bytes, size_t size)
{
    if (!bytes || size < MinIpHeaderSize || bytes[0] >> 4 != 4)
        return std::nullopt;
    const size_t headerSize = static_cast<size_t>(bytes[0] & 0x0F) * 4;
    if (headerSize < MinIpHeaderSize || size < headerSize + EchoHeaderSize)
        return std::nullopt;
    auto reply = ReadReplyAt(bytes, size, headerSize);
    if (reply)
        reply->Ttl = bytes[8];
    return reply;
}

} // namespace platform::icmp
