// Received ICMP bytes as either socket kind delivers them. libFuzzer hands
// over a buffer of exactly the input's size, so AddressSanitizer catches any
// read past the packet; the checks below catch a reply that claims bytes the
// packet does not have, or one the two readers disagree about.
#include "platform/IcmpPackets.h"

#include <cstdlib>

using namespace platform::icmp;

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

// The echoed data the reply points at is the rest of the packet.
void RequireDataWithin(const EchoReply &reply, size_t size)
{
    Require(reply.DataOffset >= EchoHeaderSize && reply.DataOffset <= size &&
            reply.DataSize == size - reply.DataOffset);
}

bool SameHeader(const EchoHeader &a, const EchoHeader &b)
{
    return a.Type == b.Type && a.Code == b.Code && a.Identifier == b.Identifier && a.Sequence == b.Sequence;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    const auto header = ReadEchoHeader(bytes, size);
    Require(header.has_value() == (size >= EchoHeaderSize));

    if (const auto reply = ReadDatagramReply(bytes, size)) {
        RequireDataWithin(*reply, size);
        Require(reply->Header.Type == 0 && reply->Header.Code == 0 && SameHeader(reply->Header, *header));
    }

    if (const auto reply = ReadRawReply(bytes, size)) {
        RequireDataWithin(*reply, size);
        const size_t ipHeaderSize = reply->DataOffset - EchoHeaderSize;
        Require(ipHeaderSize >= 20 && ipHeaderSize == static_cast<size_t>(bytes[0] & 0x0F) * 4);
        Require(reply->Ttl == bytes[8]);
        // Past the IP header, a raw reply is what a datagram socket delivers.
        const auto inner = ReadDatagramReply(bytes + ipHeaderSize, size - ipHeaderSize);
        Require(inner && SameHeader(inner->Header, reply->Header) && inner->DataSize == reply->DataSize);
    }

    // What we send: its checksum verifies and its header reads back.
    if (size >= 4) {
        const auto identifier = static_cast<uint16_t>(bytes[0] << 8 | bytes[1]);
        const auto sequence = static_cast<uint16_t>(bytes[2] << 8 | bytes[3]);
        const auto request = BuildEchoRequest(identifier, sequence, bytes + 4, size - 4);
        Require(Checksum(request.data(), request.size()) == 0);
        const auto sent = ReadEchoHeader(request.data(), request.size());
        Require(sent && sent->Type == 8 && sent->Identifier == identifier && sent->Sequence == sequence);
    }
    return 0;
}
