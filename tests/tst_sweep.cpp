// The sweep on the scripted echo platform: exact cells and counters.
#include "echo/PqICMP.h"
#include "monitor/MonitorSettings.h"
#include "monitor/main.h"
#include "platform/Application.h"
#include "tests/support/ScriptedPlatform.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

using Script = std::function<void(ScriptedPlatform &)>;
using Rows = QList<QStringList>;
Q_DECLARE_METATYPE(Script)

namespace {

void SetHosts(TMainForm &form, const QStringList &hosts)
{
    platform::TStringGrid &grid = *form.MainViewSGrid;
    grid.SetRowCount(static_cast<int>(hosts.size()) + 2);
    for (int row = 1; row <= hosts.size(); ++row)
        grid.SetCell(3, row, hosts[row - 1].toStdString());
}

QStringList RowCells(TMainForm &form, int row)
{
    QStringList cells;
    for (int column = 0; column < 4; ++column)
        cells << QString::fromStdString(form.MainViewSGrid->Cell(column, row));
    return cells;
}

// Calls back when a widget becomes enabled.
class EnabledWatch : public QObject {
public:
    EnabledWatch(QWidget *widget, std::function<void()> onEnabled) : Widget(widget), OnEnabled(std::move(onEnabled))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == Widget && event->type() == QEvent::EnabledChange && Widget->isEnabled())
            OnEnabled();
        return false;
    }

private:
    QWidget *Widget;
    std::function<void()> OnEnabled;
};

bool SweepOver(TMainForm &form) { return form.PendingCount == 0 && form.RetrieveBtn->isEnabled(); }

using Outcome = ScriptedPlatform::Outcome;
const Outcome Answered = ScriptedPlatform::Answer();
const Outcome TimedOut = ScriptedPlatform::Failure(11010);

} // namespace

class TestSweep : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        MonitorSettings = TMonitorSettings{};
        MonitorSettings.pingWait = 0;
        platform::Application::StartRecording();
    }
    void cleanup() { platform::Application::StopRecording(); }

    void outcomes_data();
    void outcomes();
    void noHostRows();
    void settingsReachComponents();
    void failedComponentEndsSweep_data();
    void failedComponentEndsSweep();
    void timerTickDuringSweep();
    void focusReturnsOnlyToActiveWindow();
    void reportsAppliedInOrderBeforeCompletion();
    void earlierComponentsReleased();
    void closingMidSweep();
};

void TestSweep::outcomes_data()
{
    QTest::addColumn<int>("pingCount");
    QTest::addColumn<QStringList>("hosts");
    QTest::addColumn<Script>("script");
    QTest::addColumn<Rows>("expected"); // success, results, message, host

    const Script none = [](ScriptedPlatform &) {};
    QTest::newRow("3 of 3 answered") << 3 << QStringList{"10.0.0.1"} << none
                                     << Rows{{"3", "3", "10.0.0.1", "10.0.0.1"}};
    QTest::newRow("answered, timed out, answered") << 3 << QStringList{"10.0.0.1"} << Script([](ScriptedPlatform &p) {
        p.Script("10.0.0.1", {Answered, TimedOut, Answered});
    }) << Rows{{"2", "3", "10.0.0.1", "10.0.0.1"}};
    QTest::newRow("answered, answered, timed out") << 3 << QStringList{"10.0.0.1"} << Script([](ScriptedPlatform &p) {
        p.Script("10.0.0.1", {Answered, Answered, TimedOut});
    }) << Rows{{"2", "3", "Request timed out", "10.0.0.1"}};
    QTest::newRow("name that cannot be resolved")
        << 2 << QStringList{"nowhere"} << none << Rows{{"0", "2", "Unknown host", "nowhere"}};
    QTest::newRow("status outside the text table counts as answered")
        << 1 << QStringList{"10.0.0.1"}
        << Script([](ScriptedPlatform &p) { p.Script("10.0.0.1", {ScriptedPlatform::ErrorFrom(10060, "10.0.0.9")}); })
        << Rows{{"1", "1", "10.0.0.9", "10.0.0.1"}};
    QTest::newRow("no echoes") << 0 << QStringList{"10.0.0.1", "10.0.0.2"} << none
                               << Rows{{"0", "0", "Ping!", "10.0.0.1"}, {"0", "0", "Ping!", "10.0.0.2"}};
    QTest::newRow("each row its own outcome")
        << 2 << QStringList{"10.0.0.1", "10.0.0.2", "name.example"} << Script([](ScriptedPlatform &p) {
               p.Script("10.0.0.2", {TimedOut, TimedOut});
               p.ScriptName("name.example", {"10.0.0.3"});
           })
        << Rows{{"2", "2", "10.0.0.1", "10.0.0.1"},
                {"0", "2", "Request timed out", "10.0.0.2"},
                {"2", "2", "10.0.0.3", "name.example"}};
}

void TestSweep::outcomes()
{
    QFETCH(int, pingCount);
    QFETCH(QStringList, hosts);
    QFETCH(Script, script);
    QFETCH(Rows, expected);

    ScriptedPlatform platform;
    script(platform);
    MonitorSettings.pingCount = pingCount;
    TMainForm form;
    SetHosts(form, hosts);
    form.RetrieveBtn->click();
    QCOMPARE(form.PendingCount, int(hosts.size()));
    QVERIFY(!form.RetrieveBtn->isEnabled());
    QTRY_VERIFY(SweepOver(form));

    for (int row = 1; row <= hosts.size(); ++row)
        QCOMPARE(RowCells(form, row), expected[row - 1]);
    QCOMPARE(form.MainViewSGrid->RowCount(), int(hosts.size()) + 2);
    QCOMPARE(RowCells(form, int(hosts.size()) + 1), (QStringList{"", "", "", ""}));
    QVERIFY(!form.ModHostBtn->isEnabled());
    QVERIFY(!form.DelHostBtn->isEnabled());
    QVERIFY(platform::Application::Messages().isEmpty());
}

void TestSweep::noHostRows()
{
    ScriptedPlatform platform;
    TMainForm form;
    form.ModHostBtn->setEnabled(true);
    form.DelHostBtn->setEnabled(true);
    form.RetrieveBtn->click();
    QCOMPARE(form.PendingCount, 0);
    QVERIFY(form.RetrieveBtn->isEnabled());
    QVERIFY(!form.ModHostBtn->isEnabled());
    QVERIFY(!form.DelHostBtn->isEnabled());
    QCOMPARE(platform.Startups(), 0);
}

void TestSweep::settingsReachComponents()
{
    ScriptedPlatform platform;
    MonitorSettings.pingCount = 2;
    MonitorSettings.pingTimeOut = 777;
    MonitorSettings.pingSize = 100;
    MonitorSettings.pingTTL = 300; // only the low 8 bits reach the request
    TMainForm form;
    SetHosts(form, {" 10.0.0.1 "});
    form.RetrieveBtn->click();
    QTRY_VERIFY(SweepOver(form));
    const auto sends = platform.Sends();
    QCOMPARE(sends.size(), size_t{2});
    QCOMPARE(sends[0].Destination, std::string("10.0.0.1"));
    QCOMPARE(sends[0].Timeout, uint32_t{777});
    QCOMPARE(sends[0].RequestSize, uint16_t{100});
    QCOMPARE(sends[0].Ttl, uint8_t{44});
    QCOMPARE(form.RowPinger[0]->Delay, 0);
}

void TestSweep::failedComponentEndsSweep_data()
{
    QTest::addColumn<int>("failingRow");
    QTest::newRow("first row") << 1;
    QTest::newRow("second row") << 2;
}

void TestSweep::failedComponentEndsSweep()
{
    QFETCH(int, failingRow);
    ScriptedPlatform platform;
    TMainForm form;
    SetHosts(form, {"10.0.0.1", "10.0.0.2", "10.0.0.3"});
    form.MainViewSGrid->SetCell(2, 3, "earlier");
    platform.StartupsBeforeFailure = failingRow - 1;
    form.RetrieveBtn->click();
    QCOMPARE(platform::Application::Messages(), QStringList{"error: Winsock の初期化が出来ませんでした。."});
    QTRY_VERIFY(SweepOver(form));

    if (failingRow == 2)
        QCOMPARE(RowCells(form, 1), (QStringList{"1", "1", "10.0.0.1", "10.0.0.1"}));
    QCOMPARE(RowCells(form, failingRow), (QStringList{"0", "0", "Ping!", QString("10.0.0.%1").arg(failingRow)}));
    QCOMPARE(RowCells(form, 3), (QStringList{"", "", "earlier", "10.0.0.3"}));

    // The reload works again.
    platform.StartupsBeforeFailure = -1;
    form.RetrieveBtn->click();
    QTRY_VERIFY(SweepOver(form));
    QCOMPARE(RowCells(form, 3), (QStringList{"1", "1", "10.0.0.3", "10.0.0.3"}));
}

void TestSweep::timerTickDuringSweep()
{
    ScriptedPlatform platform;
    TMainForm form;
    SetHosts(form, {"10.0.0.1"});
    platform.Hold();
    form.RetrieveBtn->click();
    QTRY_COMPARE(platform.Sends().size(), size_t{1});
    form.pingTimerTimer(form.pingTimer);
    QCOMPARE(platform.Startups(), 1);
    QCOMPARE(form.PendingCount, 1);
    platform.Release();
    QTRY_VERIFY(SweepOver(form));

    form.pingTimerTimer(form.pingTimer);
    QCOMPARE(platform.Startups(), 2);
    QTRY_VERIFY(SweepOver(form));
    QCOMPARE(platform.Sends().size(), size_t{2});
}

void TestSweep::focusReturnsOnlyToActiveWindow()
{
    ScriptedPlatform platform;
    TMainForm form;
    SetHosts(form, {"10.0.0.1"});
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.MainViewSGrid->setFocus();
    form.RetrieveBtn->click();
    QTRY_VERIFY(SweepOver(form));
    QVERIFY(form.RetrieveBtn->hasFocus());

    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    form.RetrieveBtn->click();
    QTRY_VERIFY(SweepOver(form));
    QVERIFY(!form.RetrieveBtn->hasFocus());
    QVERIFY(form.RetrieveBtn->isEnabled());
}

// The last report of every worker differs from the others, so a report
// applied out of order, or after its worker's completion, shows in the row.
void TestSweep::reportsAppliedInOrderBeforeCompletion()
{
    constexpr int Hosts = 40, Echoes = 5;
    ScriptedPlatform platform;
    QStringList hosts;
    for (int i = 1; i <= Hosts; ++i) {
        hosts << QString("10.0.1.%1").arg(i);
        std::vector<Outcome> outcomes(Echoes - 1, Answered);
        outcomes.push_back(i % 2 ? TimedOut : ScriptedPlatform::ErrorFrom(11013, "10.9.9.9"));
        platform.Script(hosts.back().toStdString(), outcomes);
    }
    MonitorSettings.pingCount = Echoes;
    TMainForm form;
    SetHosts(form, hosts);

    // The rows as they stand at the moment the reload comes back.
    Rows atEnd;
    EnabledWatch watch(form.RetrieveBtn, [&] {
        for (int row = 1; row <= Hosts; ++row)
            atEnd << RowCells(form, row);
    });
    form.RetrieveBtn->click();
    QTRY_VERIFY(SweepOver(form));
    QCOMPARE(atEnd.size(), Hosts);
    for (int row = 1; row <= Hosts; ++row) {
        const QString last = row % 2 ? "Request timed out" : "TTL expired in transit";
        QCOMPARE(atEnd[row - 1], (QStringList{"4", "5", last, hosts[row - 1]}));
        QCOMPARE(form.AttemptCount[row - 1], Echoes);
        QCOMPARE(form.FailureCount[row - 1], 1);
    }
}

void TestSweep::earlierComponentsReleased()
{
    ScriptedPlatform platform;
    TMainForm form;
    SetHosts(form, {"10.0.0.1", "10.0.0.2"});
    for (int sweep = 0; sweep < 3; ++sweep) {
        form.RetrieveBtn->click();
        QTRY_VERIFY(SweepOver(form));
    }
    QCOMPARE(form.findChildren<TPqICMP *>().size(), 2);
    QCOMPARE(platform.Startups() - platform.Cleanups(), 2);
}

void TestSweep::closingMidSweep()
{
    ScriptedPlatform platform;
    MonitorSettings.pingCount = 3;
    QStringList hosts;
    for (int i = 0; i < MaxHosts; ++i)
        hosts << QString("10.1.%1.%2").arg(i / 200).arg(i % 200 + 1);
    auto *form = new TMainForm;
    SetHosts(*form, hosts);
    platform.Hold();
    form->RetrieveBtn->click();
    QTRY_COMPARE(platform.Sends().size(), size_t{MaxHosts});
    delete form;
    // Nothing may reach the destroyed window.
    QCoreApplication::processEvents();
    QCOMPARE(platform.OpenHandles(), 0);
    QCOMPARE(platform.Startups(), platform.Cleanups());
    QCOMPARE(platform.Sends().size(), size_t{MaxHosts});
}

QTEST_MAIN(TestSweep)
#include "tst_sweep.moc"
