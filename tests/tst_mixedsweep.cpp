// One sweep through the main window over hosts in network namespaces, on
// real ICMP: a quarter of the rows answer, a quarter never answer, a quarter
// are unreachable through the router and a quarter drop every other echo.
#include "monitor/MonitorSettings.h"
#include "monitor/main.h"
#include "platform/Application.h"
#include "tests/support/NetnsLab.h"

#include <QPushButton>
#include <QTest>
#include <chrono>

namespace {

constexpr int AddressesPerKind = MaxHosts / 4;
constexpr int Echoes = 3;
// Long enough that a loaded machine still reads each answer in time.
constexpr int Timeout = 1000;
constexpr int Wait = 100;

// The rows take the four kinds in turn, so every row has rows of the other
// kinds next to it.
struct Kind {
    QString FirstAddress;
    int Answered;
    QString LastStatus; // empty: the last echo was answered, and the row shows its host
};

const Kind Kinds[] = {
    {NetnsLab::AnsweringHost, Echoes, {}},
    {NetnsLab::MutedHost, 0, QStringLiteral("Request timed out")},
    {NetnsLab::UnreachableHost, 0, QStringLiteral("Destination host unreachable")},
    // Each alternating address counts its own echoes: dropped, answered,
    // dropped.
    {NetnsLab::AlternatingHost, 1, QStringLiteral("Request timed out")},
};

const Kind &KindOfRow(int row) { return Kinds[(row - 1) % 4]; }

QString HostOfRow(int row) { return NetnsLab::HostAddress(KindOfRow(row).FirstAddress, (row - 1) / 4); }

// A row's success, attempt and message cells.
QString Expected(int row)
{
    const Kind &kind = KindOfRow(row);
    return QStringLiteral("%1 %2 %3")
        .arg(kind.Answered)
        .arg(Echoes)
        .arg(kind.LastStatus.isEmpty() ? HostOfRow(row) : kind.LastStatus);
}

QString Shown(const platform::TStringGrid &grid, int row)
{
    return QString::fromStdString(grid.Cell(0, row) + " " + grid.Cell(1, row) + " " + grid.Cell(2, row));
}

} // namespace

class TestMixedSweep : public QObject {
    Q_OBJECT

    NetnsLab Lab;

private slots:
    void initTestCase()
    {
        if (const QString why = NetnsLab::Unavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QString failure = Lab.Build(AddressesPerKind);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        // Raw sockets, each of which sees every error the router sends: the
        // harder case for keeping the rows apart.
        failure = Lab.SelectSocketKind(NetnsLab::SocketKind::Raw);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        platform::Application::StartRecording();
    }

    void cleanupTestCase() { Lab.Remove(); }

    void everyRowExact()
    {
        MonitorSettings = TMonitorSettings{};
        MonitorSettings.pingCount = Echoes;
        MonitorSettings.pingTimeOut = Timeout;
        MonitorSettings.pingWait = Wait;
        TMainForm form;
        form.MainViewSGrid->SetRowCount(MaxHosts + 2);
        for (int row = 1; row <= MaxHosts; ++row)
            form.MainViewSGrid->SetCell(3, row, HostOfRow(row).toStdString());

        // The workers open their sockets in the namespace of the thread that
        // starts them, the UI thread, which starts the last of them only
        // after the click has returned.
        QString failure = Lab.EnterClient();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        const auto started = std::chrono::steady_clock::now();
        form.RetrieveBtn->click();
        QCOMPARE(form.PendingCount, MaxHosts);
        QTRY_VERIFY_WITH_TIMEOUT(form.PendingCount == 0, 60000);
        const auto took = std::chrono::steady_clock::now() - started;
        failure = Lab.LeaveClient();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        qInfo("%d rows swept in %lld ms; the slowest row, a muted host, needs %d ms", MaxHosts,
              static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()),
              Echoes * (Timeout + Wait));

        // Every wrong row is listed: a failure message would cut the list short.
        int wrong = 0;
        for (int row = 1; row <= MaxHosts; ++row) {
            const QString shown = Shown(*form.MainViewSGrid, row);
            if (shown == Expected(row))
                continue;
            ++wrong;
            qWarning("row %d (%s): %s, not %s", row, qPrintable(HostOfRow(row)), qPrintable(shown),
                     qPrintable(Expected(row)));
        }
        QVERIFY2(wrong == 0, qPrintable(QStringLiteral("%1 rows are not as they should be").arg(wrong)));
        QVERIFY(platform::Application::Messages().isEmpty());
    }
};

QTEST_MAIN(TestMixedSweep)
#include "tst_mixedsweep.moc"
