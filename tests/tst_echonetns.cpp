// The echo component on real ICMP sockets inside network namespaces, where a
// router and hosts behind it answer, stay silent, drop echoes or send errors.
#include "echo/PqICMP.h"
#include "tests/support/NetnsLab.h"

#include <QTest>

using Kind = NetnsLab::SocketKind;

namespace {

// What one report says; the TTL counts only on answers.
struct Report {
    int32_t Status = 0;
    QString Text;
    QString Address;
    int Ttl = 0;
};

// One line per report, so a failure shows the whole run.
QString Transcript(const QList<Report> &reports)
{
    QStringList lines;
    for (const Report &report : reports) {
        QString line = QStringLiteral("%1 \"%2\" from %3").arg(report.Status).arg(report.Text, report.Address);
        if (report.Status == 0)
            line += QStringLiteral(" ttl %1").arg(report.Ttl);
        lines << line;
    }
    return lines.join('\n');
}

// The hosts send with TTL 64 and the router takes one off.
Report Answered(const QString &host) { return {0, {}, host, 63}; }
const Report TimedOut{11010, QStringLiteral("Request timed out"), QStringLiteral("0.0.0.0")};
const Report TtlExpired{11013, QStringLiteral("TTL expired in transit"), NetnsLab::RouterClientSide};
const Report Unreachable{11003, QStringLiteral("Destination host unreachable"), NetnsLab::RouterClientSide};

} // namespace

Q_DECLARE_METATYPE(Report)
Q_DECLARE_METATYPE(Kind)

class TestEchoNetns : public QObject {
    Q_OBJECT

    NetnsLab Lab;

private slots:
    void initTestCase()
    {
        if (const QString why = NetnsLab::Unavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        const QString failure = Lab.Build();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }

    void cleanupTestCase() { Lab.Remove(); }

    void reports_data();
    void reports();
};

void TestEchoNetns::reports_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("ttl");
    QTest::addColumn<QList<Report>>("expected");

    for (const auto &[kind, name] : {std::pair{Kind::Raw, "raw"}, std::pair{Kind::Datagram, "datagram"}}) {
        const QString host = NetnsLab::AnsweringHost;
        QTest::addRow("%s: answered", name) << kind << host << 64 << QList{Answered(host), Answered(host)};
        QTest::addRow("%s: muted host", name) << kind << NetnsLab::MutedHost << 64 << QList{TimedOut, TimedOut};
        QTest::addRow("%s: TTL 1", name) << kind << host << 1 << QList{TtlExpired, TtlExpired};
        // Few echoes: whatever icmp_ratelimit says, a router sends the first
        // five unreachable errors to a host at once and then one a second.
        QTest::addRow("%s: unreachable route", name)
            << kind << NetnsLab::UnreachableHost << 64 << QList{Unreachable, Unreachable};
        const Report alternate = Answered(NetnsLab::AlternatingHost);
        QTest::addRow("%s: every other echo dropped", name)
            << kind << NetnsLab::AlternatingHost << 64 << QList{TimedOut, alternate, TimedOut, alternate};
    }
}

void TestEchoNetns::reports()
{
    QFETCH(Kind, kind);
    QFETCH(QString, address);
    QFETCH(int, ttl);
    QFETCH(QList<Report>, expected);

    QString failure = Lab.SelectSocketKind(kind);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    failure = Lab.RestartAlternation();
    QVERIFY2(failure.isEmpty(), qPrintable(failure));

    QList<Report> reports;
    std::optional<Kind> opened;
    QString error;
    failure = Lab.RunInClient([&] {
        try {
            TPqICMP icmp(nullptr);
            icmp.Address = address.toStdString();
            icmp.NumberOfPings = static_cast<int32_t>(expected.size());
            icmp.Delay = 0;
            icmp.Timeout = 300;
            icmp.TTL = static_cast<uint8_t>(ttl);
            icmp.OnReply = [&](QObject *, int32_t status, const std::string &from, int32_t, uint8_t replyTtl) {
                if (reports.isEmpty())
                    opened = NetnsLab::OpenEchoSocketKind();
                reports.append(
                    {status, QString::fromStdString(GetMessageString(status)), QString::fromStdString(from), replyTtl});
            };
            icmp.Ping();
        } catch (const EICMPError &e) {
            error = QString::fromUtf8(e.what());
        }
    });
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY2(opened == kind, "the echo socket opened is not of the kind the client namespace was set for");
    QCOMPARE(Transcript(reports), Transcript(expected));
}

QTEST_GUILESS_MAIN(TestEchoNetns)
#include "tst_echonetns.moc"
