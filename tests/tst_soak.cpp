// Sweep after sweep of 256 loopback hosts in one window on real ICMP: the
// process holds no more after the last sweep than after the first.
#include "echo/PqICMP.h"
#include "monitor/MonitorSettings.h"
#include "monitor/main.h"
#include "platform/Application.h"
#include "tests/support/EchoSockets.h"
#include "tests/support/LoopbackHosts.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
extern "C" size_t __sanitizer_get_current_allocated_bytes();

namespace {
// The sanitizer's own allocator serves every allocation. Freed blocks (ASan's
// quarantine) and shadow memory stay resident, so resident memory grows with
// no leak: only the allocator's count of live bytes is compared.
constexpr bool ResidentCompared = false;
qint64 HeapInUseKiB() { return static_cast<qint64>(__sanitizer_get_current_allocated_bytes() / 1024); }
} // namespace
#else
#include <malloc.h>

namespace {
constexpr bool ResidentCompared = true;
qint64 HeapInUseKiB()
{
    const struct mallinfo2 heap = mallinfo2();
    return static_cast<qint64>((heap.uordblks + heap.hblkhd) / 1024);
}
} // namespace
#endif

namespace {

// An echo component or a worker left behind holds some 450 to 600 bytes:
// over these sweeps one of them per row and sweep adds up to over 2 MiB.
constexpr int Sweeps = 20;
// Freed blocks in glibc's cache for the UI thread count as in use: up to some
// 240 KiB, and more or fewer after each sweep.
constexpr qint64 HeapMarginKiB = 512;
// Resident memory also keeps the arenas' free pages: it creeps up by up to
// 1 MiB over the sweeps as 256 threads at a time take their turns in them.
constexpr qint64 ResidentMarginKiB = 3072;

// What the process holds between sweeps.
struct Holdings {
    qint64 ResidentKiB = -1;
    qint64 HeapKiB = -1;
    int Threads = -1;
    int OpenFds = -1;
};

qint64 StatusField(const QByteArray &status, const QByteArray &name)
{
    for (const QByteArray &line : status.split('\n'))
        if (line.startsWith(name + ':'))
            return line.mid(name.size() + 1).trimmed().split(' ').front().toLongLong();
    return -1;
}

Holdings Current()
{
    QFile file(QStringLiteral("/proc/self/status"));
    const QByteArray status = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    file.close();
    Holdings now;
    now.ResidentKiB = StatusField(status, "VmRSS");
    now.HeapKiB = HeapInUseKiB();
    now.Threads = static_cast<int>(StatusField(status, "Threads"));
    now.OpenFds = static_cast<int>(
        QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size());
    return now;
}

// The first row whose cells are not those of one answered echo, or empty text.
QString FirstUnanswered(const TMainForm &form)
{
    const platform::TStringGrid &grid = *form.MainViewSGrid;
    for (int row = 1; row <= MaxHosts; ++row) {
        const std::string shown = grid.Cell(0, row) + " " + grid.Cell(1, row) + " " + grid.Cell(2, row);
        if (shown != "1 1 " + LoopbackHost(row - 1))
            return QStringLiteral("row %1 shows %2").arg(row).arg(QString::fromStdString(shown));
    }
    return {};
}

} // namespace

class TestSoak : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (const QString why = WhyNoEchoSockets(); !why.isEmpty())
            QSKIP(qPrintable(why));
        platform::Application::StartRecording();
    }

    void sweepAfterSweep()
    {
        MonitorSettings = TMonitorSettings{};
        MonitorSettings.pingCount = 1;
        MonitorSettings.pingWait = 10;
        TMainForm form;
        SetLoopbackHosts(form);
        const int idleThreads = Current().Threads;
        Holdings first;
        for (int sweep = 1; sweep <= Sweeps; ++sweep) {
            form.RetrieveBtn->click();
            QCOMPARE(form.PendingCount, MaxHosts);
            QTRY_VERIFY_WITH_TIMEOUT(form.PendingCount == 0, 60000);
            const QString unanswered = FirstUnanswered(form);
            QVERIFY2(unanswered.isEmpty(), qPrintable(QStringLiteral("sweep %1: %2").arg(sweep).arg(unanswered)));
            // A worker's thread ends just after its last report; each one
            // that stays fails here.
            QTRY_COMPARE_WITH_TIMEOUT(Current().Threads, idleThreads, 10000);
            // Each worker's thread queued the worker's deletion before it ended.
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            if (sweep == 1)
                first = Current();
        }
        const Holdings last = Current();
        qInfo("after the first and the last of %d sweeps: %lld and %lld KiB resident, %lld and %lld KiB of heap in "
              "use, %d and %d threads, %d and %d open files",
              Sweeps, first.ResidentKiB, last.ResidentKiB, first.HeapKiB, last.HeapKiB, first.Threads, last.Threads,
              first.OpenFds, last.OpenFds);
        QCOMPARE(last.OpenFds, first.OpenFds);
        QVERIFY2(last.HeapKiB - first.HeapKiB <= HeapMarginKiB,
                 qPrintable(QStringLiteral("%1 KiB more heap in use").arg(last.HeapKiB - first.HeapKiB)));
        if (ResidentCompared)
            QVERIFY2(last.ResidentKiB - first.ResidentKiB <= ResidentMarginKiB,
                     qPrintable(QStringLiteral("%1 KiB more resident").arg(last.ResidentKiB - first.ResidentKiB)));
        QVERIFY(platform::Application::Messages().isEmpty());
    }
};

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
