// A reply with the right identifier and sequence from an address other than
// the one pinged is no answer. The test plays the network: in a namespace
// where the kernel answers no echo, it reads the component's request off a
// raw socket and replies to it from loopback addresses of its choosing.
#include "echo/PqICMP.h"
#include "platform/IcmpPackets.h"
#include "tests/support/NetnsLab.h"
#include "tests/support/SilentLoopback.h"

#include <QTest>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <linux/icmp.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

using Kind = NetnsLab::SocketKind;
Q_DECLARE_METATYPE(Kind)

namespace {

const QString Pinged = QStringLiteral("127.0.0.1");
const QString Forger = QStringLiteral("127.0.0.2");
constexpr int RequestWaitMs = 5000;

QString Failed(const QString &what) { return what + ": " + std::strerror(errno); }

uint32_t AddressOf(const QString &dotted) { return inet_addr(qPrintable(dotted)); }

// Sees every echo request that enters the namespace, whoever sent it.
int RequestSniffer()
{
    const int fd = socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
    icmp_filter types{};
    types.data = ~(1u << ICMP_ECHO);
    if (fd >= 0 && setsockopt(fd, SOL_RAW, ICMP_FILTER, &types, sizeof types) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// The echo request's IP header and ICMP message, as a raw socket reads it.
std::vector<uint8_t> NextRequest(int sniffer, QString &failure)
{
    pollfd wait{sniffer, POLLIN, 0};
    const int ready = poll(&wait, 1, RequestWaitMs);
    if (ready <= 0) {
        failure = ready == 0 ? QStringLiteral("no echo request came") : Failed("waiting for the request");
        return {};
    }
    std::vector<uint8_t> packet(65536);
    const ssize_t got = recv(sniffer, packet.data(), packet.size(), 0);
    if (got < 0) {
        failure = Failed("reading the request");
        return {};
    }
    packet.resize(static_cast<size_t>(got));
    return packet;
}

// The request's message turned into its reply: same identifier, sequence and
// data, type 0, checksum anew.
std::vector<uint8_t> ReplyTo(const std::vector<uint8_t> &request, size_t ipHeaderSize)
{
    std::vector<uint8_t> reply(request.begin() + static_cast<ptrdiff_t>(ipHeaderSize), request.end());
    reply[0] = 0;
    reply[2] = reply[3] = 0;
    const uint16_t sum = platform::icmp::Checksum(reply.data(), reply.size());
    reply[2] = static_cast<uint8_t>(sum >> 8);
    reply[3] = static_cast<uint8_t>(sum);
    return reply;
}

// A raw socket bound to the source sends with that source address.
QString SendFrom(const QString &source, const std::vector<uint8_t> &message, uint32_t destination)
{
    const int fd = socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (fd < 0)
        return Failed("opening a socket to reply from " + source);
    sockaddr_in from{};
    from.sin_family = AF_INET;
    from.sin_addr.s_addr = AddressOf(source);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = destination;
    QString failure;
    if (bind(fd, reinterpret_cast<const sockaddr *>(&from), sizeof from) != 0)
        failure = Failed("binding to " + source);
    else if (sendto(fd, message.data(), message.size(), 0, reinterpret_cast<const sockaddr *>(&to), sizeof to) < 0)
        failure = Failed("replying from " + source);
    close(fd);
    return failure;
}

// Waits for one echo request and replies to it from each source in turn.
QString AnswerFrom(int sniffer, const QStringList &sources)
{
    QString failure;
    const std::vector<uint8_t> request = NextRequest(sniffer, failure);
    if (!failure.isEmpty())
        return failure;
    const size_t ipHeaderSize = request.empty() ? 0 : static_cast<size_t>(request[0] & 0x0F) * 4;
    if (request.size() < ipHeaderSize + platform::icmp::EchoHeaderSize)
        return QStringLiteral("the request was cut short");
    uint32_t requester = 0;
    std::memcpy(&requester, request.data() + 12, sizeof requester);
    const std::vector<uint8_t> reply = ReplyTo(request, ipHeaderSize);
    for (const QString &source : sources) {
        failure = SendFrom(source, reply, requester);
        if (!failure.isEmpty())
            break;
    }
    return failure;
}

} // namespace

class TestForgedReply : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (geteuid() != 0)
            QSKIP("forging replies needs raw sockets and a network namespace, so root");
        const QString failure = RunInSilentLoopback(Kind::Raw, [] {});
        if (!failure.isEmpty())
            QSKIP(qPrintable(failure));
    }

    void answerOnlyFromThePingedHost_data();
    void answerOnlyFromThePingedHost();
};

void TestForgedReply::answerOnlyFromThePingedHost_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QStringList>("replySources");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("address");

    for (const auto &[kind, name] : {std::pair{Kind::Raw, "raw"}, std::pair{Kind::Datagram, "datagram"}}) {
        QTest::addRow("%s: forged reply alone", name) << kind << QStringList{Forger} << 11010 << "0.0.0.0";
        // The genuine reply, sent after the forged one, shows the forged one
        // arrived in time and was passed over, not merely late.
        QTest::addRow("%s: forged reply, then the host's", name) << kind << QStringList{Forger, Pinged} << 0 << Pinged;
    }
}

void TestForgedReply::answerOnlyFromThePingedHost()
{
    QFETCH(Kind, kind);
    QFETCH(QStringList, replySources);
    QFETCH(int, status);
    QFETCH(QString, address);

    QString answerFailure;
    QString error;
    QList<QPair<int, QString>> reports;
    std::optional<Kind> opened;
    const QString failure = RunInSilentLoopback(kind, [&] {
        const int sniffer = RequestSniffer();
        if (sniffer < 0) {
            answerFailure = Failed("opening the sniffer");
            return;
        }
        std::thread answerer([&] {
            answerFailure = AnswerFrom(sniffer, replySources);
            close(sniffer);
        });
        try {
            TPqICMP icmp(nullptr);
            icmp.Address = Pinged.toStdString();
            icmp.NumberOfPings = 1;
            icmp.Delay = 0;
            icmp.Timeout = 1000;
            icmp.OnReply = [&](QObject *, int32_t replyStatus, const std::string &from, int32_t, uint8_t) {
                // Once the sniffer is closed, the component's socket is the only one open.
                answerer.join();
                opened = NetnsLab::OpenEchoSocketKind();
                reports.append({replyStatus, QString::fromStdString(from)});
            };
            icmp.Ping();
        } catch (const EICMPError &e) {
            error = QString::fromUtf8(e.what());
        }
        if (answerer.joinable())
            answerer.join();
    });
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY2(answerFailure.isEmpty(), qPrintable(answerFailure));
    QVERIFY2(opened == kind, "the echo socket opened is not of the kind the namespace was set for");
    QCOMPARE(reports, (QList<QPair<int, QString>>{{status, address}}));
}

QTEST_GUILESS_MAIN(TestForgedReply)
#include "tst_forgedreply.moc"
