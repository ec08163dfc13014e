// Whole sweeps through the main window on real ICMP, against loopback hosts.
#include "echo/PqICMP.h"
#include "monitor/MonitorSettings.h"
#include "monitor/main.h"
#include "platform/Application.h"
#include "tests/support/EchoSockets.h"
#include "tests/support/LoopbackHosts.h"

#include <QPushButton>
#include <QTest>
#include <chrono>

class TestSweepLoopback : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (const QString why = WhyNoEchoSockets(); !why.isEmpty())
            QSKIP(qPrintable(why));
        platform::Application::StartRecording();
    }

    void init() { MonitorSettings = TMonitorSettings{}; }

    void everyHostAtOnce()
    {
        MonitorSettings.pingCount = 1;
        MonitorSettings.pingWait = 1000;
        TMainForm form;
        SetLoopbackHosts(form);
        const auto started = std::chrono::steady_clock::now();
        form.RetrieveBtn->click();
        QCOMPARE(form.PendingCount, MaxHosts);
        QTRY_VERIFY_WITH_TIMEOUT(form.PendingCount == 0, 60000);
        const auto took = std::chrono::steady_clock::now() - started;
        qInfo("256 hosts swept in %lld ms",
              static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));

        QVERIFY(form.RetrieveBtn->isEnabled());
        for (int i = 0; i < MaxHosts; ++i) {
            const int row = i + 1;
            QCOMPARE(form.MainViewSGrid->Cell(0, row), std::string("1"));
            QCOMPARE(form.MainViewSGrid->Cell(1, row), std::string("1"));
            QCOMPARE(form.MainViewSGrid->Cell(2, row), LoopbackHost(i));
        }
        QVERIFY(platform::Application::Messages().isEmpty());
    }

    // The workers pause a minute after each echo; closing must not wait for that.
    void closingMidSweep()
    {
        MonitorSettings.pingCount = 3;
        MonitorSettings.pingWait = 60000;
        auto *form = new TMainForm;
        SetLoopbackHosts(*form);
        form->RetrieveBtn->click();
        QTRY_VERIFY_WITH_TIMEOUT(form->MainViewSGrid->Cell(1, MaxHosts) == "1", 30000);
        delete form;
        QCoreApplication::processEvents();
        QVERIFY(platform::Application::Messages().isEmpty());
    }
};

QTEST_MAIN(TestSweepLoopback)
#include "tst_sweeploopback.moc"
