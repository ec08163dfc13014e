// The echo component on real ICMP sockets, against loopback addresses (the
// whole of 127.0.0.0/8 answers on Linux).
#include "echo/PqICMP.h"
#include "tests/support/EchoSockets.h"

#include <QTest>
#include <latch>
#include <memory>
#include <thread>
#include <vector>

namespace {

struct Report {
    int32_t Status;
    std::string Address;
    uint8_t Ttl;
};

std::string LoopbackHost(int index) // 0 gives 127.0.0.1, 255 gives 127.0.1.0
{
    const int host = index + 1;
    return "127.0." + std::to_string(host / 256) + "." + std::to_string(host % 256);
}

// Builds a component, or skips the test where this machine opens no ICMP socket.
std::unique_ptr<TPqICMP> EchoComponent(QObject *owner, std::vector<Report> &reports)
{
    auto icmp = std::make_unique<TPqICMP>(owner);
    icmp->OnReply = [&reports](QObject *, int32_t status, const std::string &address, int32_t, uint8_t ttl) {
        reports.push_back({status, address, ttl});
    };
    return icmp;
}

} // namespace

class TestEchoLoopback : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (const QString why = WhyNoEchoSockets(); !why.isEmpty())
            QSKIP(qPrintable(why));
    }

    void answersFromLocalHost()
    {
        std::vector<Report> reports;
        auto icmp = EchoComponent(nullptr, reports);
        icmp->Address = "  127.0.0.1 ";
        icmp->NumberOfPings = 3;
        icmp->Delay = 100;
        icmp->Timeout = 2000;
        icmp->Ping();

        QCOMPARE(reports.size(), size_t{3});
        for (const auto &report : reports) {
            QCOMPARE(report.Status, 0);
            QCOMPARE(report.Address, std::string("127.0.0.1"));
            QCOMPARE(report.Ttl, uint8_t{64});
        }
    }

    void resolvesLocalHostName()
    {
        std::vector<Report> reports;
        auto icmp = EchoComponent(nullptr, reports);
        icmp->Address = "localhost";
        icmp->NumberOfPings = 1;
        icmp->Delay = 0;
        icmp->Ping();
        QCOMPARE(reports.size(), size_t{1});
        QCOMPARE(reports[0].Status, 0);
        QVERIFY2(reports[0].Address.rfind("127.", 0) == 0, reports[0].Address.c_str());
    }

    void largeEchoesAnswered()
    {
        std::vector<Report> reports;
        auto icmp = EchoComponent(nullptr, reports);
        icmp->Address = "127.0.0.2";
        icmp->NumberOfPings = 1;
        icmp->Delay = 0;
        icmp->BlockSize = 65507;
        icmp->Ping();
        QCOMPARE(reports.size(), size_t{1});
        QCOMPARE(reports[0].Status, 0);
        QCOMPARE(reports[0].Address, std::string("127.0.0.2"));
    }

    // Each component sees only its own host's replies, although every
    // socket is open at the same time.
    void manyComponentsAtOnce()
    {
        constexpr int Hosts = 256;
        QObject owner;
        std::vector<std::vector<Report>> reports(Hosts);
        std::vector<std::unique_ptr<TPqICMP>> components;
        for (int i = 0; i < Hosts; ++i) {
            components.push_back(EchoComponent(&owner, reports[i]));
            components.back()->Address = LoopbackHost(i);
            components.back()->NumberOfPings = 3;
            components.back()->Delay = 50;
            components.back()->Timeout = 5000;
        }
        std::latch start(Hosts);
        std::vector<std::thread> workers;
        for (int i = 0; i < Hosts; ++i)
            workers.emplace_back([&, i] {
                start.arrive_and_wait();
                components[i]->Ping();
            });
        for (auto &worker : workers)
            worker.join();

        for (int i = 0; i < Hosts; ++i) {
            QCOMPARE(reports[i].size(), size_t{3});
            for (const auto &report : reports[i]) {
                QCOMPARE(report.Status, 0);
                QCOMPARE(report.Address, LoopbackHost(i));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestEchoLoopback)
#include "tst_echoloopback.moc"
