// The echo component on a scripted echo library, socket library and clock.
#include "echo/PqICMP.h"
#include "platform/StopSignal.h"
#include "tests/support/ScriptedPlatform.h"

#include <QTest>
#include <future>
#include <thread>

using Log = std::vector<std::string>;
Q_DECLARE_METATYPE(Log)
Q_DECLARE_METATYPE(std::string)

namespace {

// Logs every report next to the platform's own entries.
void LogReports(TPqICMP &icmp, ScriptedPlatform &platform)
{
    icmp.OnReply = [&platform, &icmp](QObject *sender, int32_t status, const std::string &address, int32_t,
                                      uint8_t ttl) {
        QCOMPARE(sender, &icmp);
        platform.Append("report " + std::to_string(status) + " " + address + " " + std::to_string(ttl));
    };
}

Log Repeat(int times, const Log &entries)
{
    Log all;
    for (int i = 0; i < times; ++i)
        all.insert(all.end(), entries.begin(), entries.end());
    return all;
}

Log Framed(const Log &entries)
{
    Log all{"open"};
    all.insert(all.end(), entries.begin(), entries.end());
    all.push_back("close");
    return all;
}

const std::string PermissionMessage = "ICMP ソケットを開く権限がありません。";

} // namespace

class TestPqICMP : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { platform::ClearStop(); }

    void constructionFailures_data();
    void constructionFailures();
    void startupInformation();
    void runSequence_data();
    void runSequence();
    void handleThatFailsLaterFailsEchoes();
    void requestCarriesFilledData();
    void reportsCarryReplyRecord();
    void handlerExceptionStillCleansUp();
    void pauseSurvivesTickWrap_data();
    void pauseSurvivesTickWrap();
    void dispatchesCallingThreadMessages();
    void stopDuringSendReportsNothing();
    void stopWakesPause();
    void messageStrings_data();
    void messageStrings();
};

void TestPqICMP::constructionFailures_data()
{
    QTest::addColumn<int>("startupResult");
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("library"); // "", "unloadable" or the missing entry point
    QTest::addColumn<int>("openError");
    QTest::addColumn<QString>("message");

    const QString startup = "Winsock の初期化が出来ませんでした。";
    const QString version = "Winsock が v1.1 互換で動作できません。";
    const QString missing = "必要なファイル ICMP.DLL が見つかりません。";
    const QString entry = "ICMP.DLL のプロセスを取得出来ません。";
    QTest::newRow("startup fails") << 10091 << 0x0101 << "unloadable" << 0 << startup;
    QTest::newRow("version 2.2 in use") << 0 << 0x0202 << "unloadable" << 0 << version;
    QTest::newRow("version 1.0 in use") << 0 << 0x0001 << "" << 0 << version;
    QTest::newRow("no echo library") << 0 << 0x0101 << "unloadable" << EACCES << missing;
    QTest::newRow("no IcmpCreateFile") << 0 << 0x0101 << "IcmpCreateFile" << EACCES << entry;
    QTest::newRow("no IcmpCloseHandle") << 0 << 0x0101 << "IcmpCloseHandle" << 0 << entry;
    QTest::newRow("no IcmpSendEcho") << 0 << 0x0101 << "IcmpSendEcho" << 0 << entry;
    QTest::newRow("no permission for ICMP sockets")
        << 0 << 0x0101 << "" << EACCES << QString::fromStdString(PermissionMessage);
    QTest::newRow("no capability for raw sockets")
        << 0 << 0x0101 << "" << EPERM << QString::fromStdString(PermissionMessage);
    QTest::newRow("out of descriptors") << 0 << 0x0101 << "" << EMFILE << "ICMP ソケットを開けません（";
}

void TestPqICMP::constructionFailures()
{
    QFETCH(int, startupResult);
    QFETCH(int, version);
    QFETCH(QString, library);
    QFETCH(int, openError);
    QFETCH(QString, message);

    ScriptedPlatform platform;
    platform.StartupResult = startupResult;
    platform.Version = static_cast<uint16_t>(version);
    platform.FailOpen(openError);
    std::optional<BrokenEchoLibrary> broken;
    if (library == "unloadable")
        broken.emplace("");
    else if (!library.isEmpty())
        broken.emplace(library.toStdString());

    QObject owner;
    try {
        TPqICMP icmp(&owner);
        QFAIL("the component was built");
    } catch (const EICMPError &error) {
        QVERIFY2(QString::fromUtf8(error.what()).startsWith(message), error.what());
        if (message == QString::fromStdString(PermissionMessage)) {
            QVERIFY(std::string(error.what()).find("net.ipv4.ping_group_range") != std::string::npos);
            QVERIFY(std::string(error.what()).find("setcap cap_net_raw+ep") != std::string::npos);
        }
    }
    QCOMPARE(platform.Startups(), 1);
    QCOMPARE(platform.Cleanups(), 1);
    QCOMPARE(platform.OpenHandles(), 0);
    QVERIFY(owner.children().isEmpty());
}

void TestPqICMP::startupInformation()
{
    ScriptedPlatform platform;
    platform.HighVersion = 0x0202;
    platform.Description = std::string(300, 'd');
    QObject owner;
    {
        auto *icmp = new TPqICMP(&owner);
        QCOMPARE(icmp->WinsockVersion, std::string("1.1"));
        QCOMPARE(icmp->WinsockHighVersion, std::string("2.2"));
        QCOMPARE(icmp->WinsockDescription, std::string(256, 'd'));
        QCOMPARE(icmp->MaxSockets, 256);
        QCOMPARE(icmp->MaxUdpDg, 65467);
        QCOMPARE(icmp->BlockSize, 64);
        QCOMPARE(icmp->TTL, uint8_t{255});
        QCOMPARE(icmp->Timeout, 5000);
        QCOMPARE(icmp->Delay, 1000);
        QCOMPARE(icmp->NumberOfPings, 3);
        QVERIFY(icmp->Address.empty());
        QVERIFY(!icmp->OnReply);
        QCOMPARE(platform.OpenHandles(), 0);
    }
    QCOMPARE(owner.children().size(), 1);
    qDeleteAll(owner.children());
    QCOMPARE(platform.Startups(), 1);
    QCOMPARE(platform.Cleanups(), 1);
}

void TestPqICMP::runSequence_data()
{
    QTest::addColumn<std::string>("address");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("delay");
    QTest::addColumn<int>("blockSize");
    QTest::addColumn<bool>("handler");
    QTest::addColumn<Log>("expected");

    const Log sleep2{"sleep 10", "sleep 10"};
    auto echo = [&](const std::string &to) {
        Log entries{"send " + to, "report 0 " + to + " 64"};
        entries.insert(entries.end(), sleep2.begin(), sleep2.end());
        return entries;
    };
    auto unknown = [&](const std::string &name) {
        Log entries{"resolve " + name, "report -1 0.0.0.0 0"};
        entries.insert(entries.end(), sleep2.begin(), sleep2.end());
        return entries;
    };
    const std::string tooLong(257, 'h');

    QTest::newRow("no echoes") << std::string("10.0.0.1") << 0 << 20 << 64 << true << Framed({});
    QTest::newRow("negative count") << std::string("10.0.0.1") << -5 << 20 << 64 << true << Framed({});
    QTest::newRow("pause after every echo, the last too")
        << std::string("10.0.0.1") << 2 << 20 << 64 << true << Framed(Repeat(2, echo("10.0.0.1")));
    QTest::newRow("last step cut short to end at the delay")
        << std::string("10.0.0.1") << 1 << 11 << 64 << true
        << Framed({"send 10.0.0.1", "report 0 10.0.0.1 64", "sleep 10", "sleep 1"});
    QTest::newRow("no pause without delay")
        << std::string("10.0.0.1") << 2 << 0 << 64 << true
        << Framed({"send 10.0.0.1", "report 0 10.0.0.1 64", "send 10.0.0.1", "report 0 10.0.0.1 64"});
    QTest::newRow("negative delay") << std::string("10.0.0.1") << 1 << -100 << 64 << true
                                    << Framed({"send 10.0.0.1", "report 0 10.0.0.1 64"});
    QTest::newRow("blanks and control characters trimmed")
        << std::string("\t \x01 10.0.0.7\r\n\x1f ") << 1 << 20 << 64 << true << Framed(echo("10.0.0.7"));
    QTest::newRow("name never found, retried each echo")
        << std::string(" nowhere ") << 3 << 20 << 64 << true << Framed(Repeat(3, unknown("nowhere")));
    QTest::newRow("name found at the second attempt, resolved once")
        << std::string("later") << 3 << 20 << 64 << true << [&] {
               Log entries = unknown("later");
               for (const auto &e : Log{"resolve later"})
                   entries.push_back(e);
               for (int i = 0; i < 2; ++i)
                   for (const auto &e : echo("10.1.2.3"))
                       entries.push_back(e);
               return Framed(entries);
           }();
    QTest::newRow("no handler: sends and pauses still made")
        << std::string("10.0.0.1") << 2 << 20 << 64 << false
        << Framed({"send 10.0.0.1", "sleep 10", "sleep 10", "send 10.0.0.1", "sleep 10", "sleep 10"});
    QTest::newRow("address longer than any host name")
        << tooLong << 2 << 20 << 64 << true << Framed(Repeat(2, {"report -1 0.0.0.0 0", "sleep 10", "sleep 10"}));
    QTest::newRow("block size beyond an IPv4 echo")
        << std::string("10.0.0.1") << 2 << 20 << 65508 << true
        << Framed(Repeat(2, {"report 11011 0.0.0.0 0", "sleep 10", "sleep 10"}));
    QTest::newRow("negative block size") << std::string("10.0.0.1") << 1 << 20 << -1 << true
                                         << Framed({"report 11011 0.0.0.0 0", "sleep 10", "sleep 10"});
    QTest::newRow("largest IPv4 echo") << std::string("10.0.0.1") << 1 << 20 << 65507 << true
                                       << Framed(echo("10.0.0.1"));
}

void TestPqICMP::runSequence()
{
    QFETCH(std::string, address);
    QFETCH(int, count);
    QFETCH(int, delay);
    QFETCH(int, blockSize);
    QFETCH(bool, handler);
    QFETCH(Log, expected);

    ScriptedPlatform platform;
    platform.ScriptName("later", {std::nullopt, "10.1.2.3", "10.9.9.9"});
    TPqICMP icmp(nullptr);
    if (handler)
        LogReports(icmp, platform);
    icmp.Address = address;
    icmp.NumberOfPings = count;
    icmp.Delay = delay;
    icmp.BlockSize = blockSize;
    icmp.Ping();

    const Log log = platform.Log();
    // The construction's own probe of the echo handle comes first.
    QCOMPARE(Log(log.begin(), log.begin() + 2), (Log{"open", "close"}));
    QCOMPARE(Log(log.begin() + 2, log.end()), expected);
    QCOMPARE(platform.OpenHandles(), 0);
}

// Only the first component of a library probes for an echo handle; should
// one fail to open later, every echo fails instead of passing for answered.
void TestPqICMP::handleThatFailsLaterFailsEchoes()
{
    ScriptedPlatform platform;
    TPqICMP first(nullptr);
    platform.FailOpen(EACCES);
    TPqICMP second(nullptr);
    LogReports(second, platform);
    second.Address = "10.0.0.1";
    second.NumberOfPings = 1;
    second.Delay = 0;
    second.Ping();
    QCOMPARE(platform.Log(), (Log{"open", "close", "report 11050 0.0.0.0 0"}));
    QCOMPARE(second.GetMessageString(11050), std::string("General failure"));
}

void TestPqICMP::requestCarriesFilledData()
{
    ScriptedPlatform platform;
    TPqICMP icmp(nullptr);
    icmp.Address = "10.0.0.1";
    icmp.NumberOfPings = 2;
    icmp.TTL = 7;
    icmp.Timeout = 1234;
    icmp.Ping();

    const auto sends = platform.Sends();
    QCOMPARE(sends.size(), size_t{2});
    for (const auto &send : sends) {
        QCOMPARE(send.RequestSize, uint16_t{64});
        QCOMPARE(send.Data, std::vector<uint8_t>(64, 0xA7));
        QCOMPARE(send.ReplySize, uint32_t{92});
        QCOMPARE(send.Ttl, uint8_t{7});
        QCOMPARE(send.Timeout, uint32_t{1234});
    }
}

void TestPqICMP::reportsCarryReplyRecord()
{
    ScriptedPlatform platform;
    auto answered = ScriptedPlatform::Answer(57);
    answered.RTT = 12;
    platform.Script("10.0.0.1",
                    {answered, ScriptedPlatform::Failure(11010), ScriptedPlatform::ErrorFrom(11013, "10.9.9.9")});
    TPqICMP icmp(nullptr);
    std::vector<std::tuple<int32_t, std::string, int32_t, uint8_t>> reports;
    icmp.OnReply = [&](QObject *, int32_t status, const std::string &address, int32_t rtt, uint8_t ttl) {
        reports.emplace_back(status, address, rtt, ttl);
    };
    icmp.Address = "10.0.0.1";
    icmp.Ping();

    QCOMPARE(reports.size(), size_t{3});
    QCOMPARE(reports[0], std::make_tuple(0, std::string("10.0.0.1"), 12, uint8_t{57}));
    QCOMPARE(std::get<0>(reports[1]), 11010);
    QCOMPARE(std::get<0>(reports[2]), 11013);
    QCOMPARE(std::get<1>(reports[2]), std::string("10.9.9.9"));
}

void TestPqICMP::handlerExceptionStillCleansUp()
{
    ScriptedPlatform platform;
    TPqICMP icmp(nullptr);
    icmp.Address = "10.0.0.1";
    icmp.OnReply = [](QObject *, int32_t, const std::string &, int32_t, uint8_t) {
        throw std::runtime_error("handler failed");
    };
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, icmp.Ping());
    QCOMPARE(platform.OpenHandles(), 0);
    QCOMPARE(platform.Log().back(), std::string("close"));
    QCOMPARE(platform.Sends().size(), size_t{1});

    // The component is whole again: a later run opens its own handle.
    icmp.OnReply = nullptr;
    icmp.NumberOfPings = 1;
    icmp.Ping();
    QCOMPARE(platform.Sends().size(), size_t{2});
    QCOMPARE(platform.OpenHandles(), 0);
}

void TestPqICMP::pauseSurvivesTickWrap_data()
{
    QTest::addColumn<uint32_t>("start");
    QTest::newRow("passing 2^31") << uint32_t{0x7FFFFFF0};
    QTest::newRow("wrapping past 2^32") << uint32_t{0xFFFFFFF0};
}

void TestPqICMP::pauseSurvivesTickWrap()
{
    QFETCH(uint32_t, start);
    ScriptedPlatform platform;
    platform.Now = start;
    TPqICMP icmp(nullptr);
    icmp.Address = "10.0.0.1";
    icmp.NumberOfPings = 1;
    icmp.Delay = 30;
    icmp.Ping();
    QCOMPARE(platform.Log(),
             (Log{"open", "close", "open", "send 10.0.0.1", "sleep 10", "sleep 10", "sleep 10", "close"}));
}

void TestPqICMP::dispatchesCallingThreadMessages()
{
    ScriptedPlatform platform;
    TPqICMP icmp(nullptr);
    icmp.Address = "10.0.0.1";
    icmp.NumberOfPings = 1;
    icmp.Delay = 0;
    QMetaObject::invokeMethod(
        this, [&] { platform.Append("event"); }, Qt::QueuedConnection);
    icmp.Ping();
    QCOMPARE(platform.Log(), (Log{"open", "close", "open", "event", "send 10.0.0.1", "close"}));
}

void TestPqICMP::stopDuringSendReportsNothing()
{
    ScriptedPlatform platform;
    TPqICMP icmp(nullptr);
    LogReports(icmp, platform);
    icmp.Address = "10.0.0.1";
    icmp.NumberOfPings = 3;
    platform.Hold();
    std::thread run([&] { icmp.Ping(); });
    QTRY_COMPARE(platform.Sends().size(), size_t{1});
    platform::RequestStop();
    run.join();
    QCOMPARE(platform.Log(), (Log{"open", "close", "open", "send 10.0.0.1", "close"}));
}

void TestPqICMP::stopWakesPause()
{
    ScriptedPlatform platform;
    platform::SetClock(nullptr);
    TPqICMP icmp(nullptr);
    std::promise<void> reported;
    icmp.OnReply = [&](QObject *, int32_t, const std::string &, int32_t, uint8_t) { reported.set_value(); };
    icmp.Address = "10.0.0.1";
    icmp.NumberOfPings = 2;
    icmp.Delay = 600000;
    auto run = std::async(std::launch::async, [&] { icmp.Ping(); });
    reported.get_future().wait();
    platform::RequestStop();
    // Without the wake-up the run would pause for ten minutes.
    QCOMPARE(run.wait_for(std::chrono::seconds(60)), std::future_status::ready);
    QCOMPARE(platform.Sends().size(), size_t{1});
}

void TestPqICMP::messageStrings_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    QTest::newRow("answered") << 0 << "";
    QTest::newRow("unknown host") << -1 << "Unknown host";
    QTest::newRow("first library status") << 11001 << "Buffer too small";
    QTest::newRow("timed out") << 11010 << "Request timed out";
    QTest::newRow("ttl expired") << 11013 << "TTL expired in transit";
    QTest::newRow("last of the run") << 11022 << "IP Unload";
    QTest::newRow("general failure") << 11050 << "General failure";
    QTest::newRow("pending") << 11255 << "Pending";
    QTest::newRow("just past the run") << 11023 << "";
    QTest::newRow("socket error") << 10060 << "";
    QTest::newRow("other negative") << -2 << "";
}

void TestPqICMP::messageStrings()
{
    QFETCH(int, status);
    QFETCH(QString, text);
    ScriptedPlatform platform;
    TPqICMP icmp(nullptr);
    QCOMPARE(QString::fromStdString(icmp.GetMessageString(status)), text);
}

QTEST_GUILESS_MAIN(TestPqICMP)
#include "tst_pqicmp.moc"
