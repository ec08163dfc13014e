// Reading received ICMP bytes (untrusted input) and mapping ICMP errors.
#include "platform/IcmpLibrary.h"
#include "platform/IcmpPackets.h"

#include <QTest>

using Bytes = std::vector<uint8_t>;
Q_DECLARE_METATYPE(Bytes)

namespace {

Bytes IpHeader(uint8_t versionAndLength, uint8_t ttl)
{
    Bytes header(static_cast<size_t>(versionAndLength & 0x0F) * 4, 0);
    if (header.size() < 20)
        header.resize(20);
    header[0] = versionAndLength;
    header[8] = ttl;
    return header;
}

Bytes EchoReply(uint16_t identifier, uint16_t sequence, size_t dataSize, uint8_t type = 0, uint8_t code = 0)
{
    Bytes data(dataSize, 0xA7);
    Bytes packet = platform::icmp::BuildEchoRequest(identifier, sequence, data.data(), data.size());
    packet[0] = type;
    packet[1] = code;
    return packet;
}

Bytes Joined(Bytes first, const Bytes &second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

} // namespace

class TestIcmpPackets : public QObject {
    Q_OBJECT

private slots:
    void requestChecksumVerifies()
    {
        const Bytes data(63, 0xA7); // odd length: the last byte is padded
        const Bytes packet = platform::icmp::BuildEchoRequest(0x1234, 0xBEEF, data.data(), data.size());
        QCOMPARE(packet.size(), size_t{71});
        QCOMPARE(packet[0], uint8_t{8});
        QCOMPARE(platform::icmp::Checksum(packet.data(), packet.size()), uint16_t{0});
        const auto header = platform::icmp::ReadEchoHeader(packet.data(), packet.size());
        QVERIFY(header);
        QCOMPARE(header->Identifier, uint16_t{0x1234});
        QCOMPARE(header->Sequence, uint16_t{0xBEEF});
    }

    void rawReplies_data()
    {
        QTest::addColumn<Bytes>("packet");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("dataSize");

        const Bytes reply = EchoReply(7, 9, 64);
        QTest::newRow("reply") << Joined(IpHeader(0x45, 61), reply) << true << 64;
        QTest::newRow("reply after IP options") << Joined(IpHeader(0x46, 61), reply) << true << 64;
        QTest::newRow("reply without data") << Joined(IpHeader(0x45, 61), EchoReply(7, 9, 0)) << true << 0;
        QTest::newRow("empty") << Bytes{} << false << 0;
        QTest::newRow("shorter than an IP header") << Bytes(19, 0x45) << false << 0;
        QTest::newRow("IPv6 version") << Joined(IpHeader(0x65, 61), reply) << false << 0;
        QTest::newRow("header length below 20") << Joined(IpHeader(0x44, 61), reply) << false << 0;
        Bytes longHeader = Joined(IpHeader(0x45, 61), EchoReply(7, 9, 20));
        longHeader[0] = 0x4F; // claims 60 bytes of header in a 48-byte packet
        QTest::newRow("header length past the packet") << longHeader << false << 0;
        QTest::newRow("echo header cut short") << Joined(IpHeader(0x45, 61), Bytes(7, 0)) << false << 0;
        QTest::newRow("echo request, not reply") << Joined(IpHeader(0x45, 61), EchoReply(7, 9, 8, 8)) << false << 0;
        QTest::newRow("reply with a code") << Joined(IpHeader(0x45, 61), EchoReply(7, 9, 8, 0, 1)) << false << 0;
        QTest::newRow("error message") << Joined(IpHeader(0x45, 61), EchoReply(7, 9, 28, 11)) << false << 0;
    }

    void rawReplies()
    {
        QFETCH(Bytes, packet);
        QFETCH(bool, accepted);
        QFETCH(int, dataSize);
        const auto reply = platform::icmp::ReadRawReply(packet.data(), packet.size());
        QCOMPARE(bool(reply), accepted);
        if (!reply)
            return;
        QCOMPARE(reply->Header.Identifier, uint16_t{7});
        QCOMPARE(reply->Header.Sequence, uint16_t{9});
        QCOMPARE(reply->Ttl, uint8_t{61});
        QCOMPARE(reply->DataSize, size_t(dataSize));
        QCOMPARE(reply->DataOffset + reply->DataSize, packet.size());
    }

    void datagramReplies()
    {
        const Bytes reply = EchoReply(3, 4, 10);
        const auto read = platform::icmp::ReadDatagramReply(reply.data(), reply.size());
        QVERIFY(read);
        QCOMPARE(read->DataOffset, size_t{8});
        QCOMPARE(read->DataSize, size_t{10});
        QVERIFY(!platform::icmp::ReadDatagramReply(reply.data(), 7));
        QVERIFY(!platform::icmp::ReadDatagramReply(nullptr, 0));
    }

    void errorStatuses_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("status");
        QTest::newRow("net unreachable") << 3 << 0 << 11002;
        QTest::newRow("host unreachable") << 3 << 1 << 11003;
        QTest::newRow("protocol unreachable") << 3 << 2 << 11004;
        QTest::newRow("port unreachable") << 3 << 3 << 11005;
        QTest::newRow("fragmentation needed") << 3 << 4 << 11009;
        QTest::newRow("source route failed") << 3 << 5 << 11012;
        QTest::newRow("net unknown") << 3 << 6 << 11002;
        QTest::newRow("net prohibited") << 3 << 9 << 11002;
        QTest::newRow("net unreachable for TOS") << 3 << 11 << 11002;
        QTest::newRow("host unknown") << 3 << 7 << 11003;
        QTest::newRow("administratively prohibited") << 3 << 13 << 11003;
        QTest::newRow("ttl expired in transit") << 11 << 0 << 11013;
        QTest::newRow("ttl expired in reassembly") << 11 << 1 << 11014;
        QTest::newRow("parameter problem") << 12 << 0 << 11015;
        QTest::newRow("source quench") << 4 << 0 << 11016;
        QTest::newRow("redirect") << 5 << 0 << 11050;
    }

    void errorStatuses()
    {
        QFETCH(int, type);
        QFETCH(int, code);
        QFETCH(int, status);
        QCOMPARE(platform::StatusOfIcmpError(static_cast<uint8_t>(type), static_cast<uint8_t>(code)), status);
    }
};

QTEST_GUILESS_MAIN(TestIcmpPackets)
#include "tst_icmppackets.moc"
