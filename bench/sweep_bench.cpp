// Measures sweeps of 256 loopback hosts through the real main window,
// offscreen and on real ICMP, with fping on the same echoes for comparison.
// Prints one JSON object and a short summary.
#include "bench/BenchProbes.h"
#include "bench/ProcessFigures.h"
#include "monitor/MonitorSettings.h"
#include "monitor/main.h"
#include "platform/Application.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <arpa/inet.h>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int Hosts = MaxHosts;
constexpr int SweepCount = 3, SweepWait = 200, SweepTimeout = 1000, SweepSize = 64;

using Figures = std::vector<std::pair<std::string, double>>;

std::string LoopbackHost(int index) // 0 gives 127.0.0.1, 255 gives 127.0.1.0
{
    const int host = index + 1;
    return "127.0." + std::to_string(host / 256) + "." + std::to_string(host % 256);
}

void SetLoopbackHosts(TMainForm &form)
{
    form.MainViewSGrid->SetRowCount(Hosts + 2);
    for (int i = 0; i < Hosts; ++i)
        form.MainViewSGrid->SetCell(3, i + 1, LoopbackHost(i));
}

std::map<uint32_t, int> RowsOfHosts()
{
    std::map<uint32_t, int> rows;
    for (int i = 0; i < Hosts; ++i)
        rows[inet_addr(LoopbackHost(i).c_str())] = i + 1;
    return rows;
}

// Runs the event loop until done() holds, or the time is up. The loop
// sleeps between events, so waiting costs no CPU of its own.
bool RunUntil(const std::function<bool()> &done, int timeoutMs)
{
    const auto deadline = BenchClock::now() + std::chrono::milliseconds(timeoutMs);
    QEventLoop loop;
    QTimer check;
    check.setTimerType(Qt::PreciseTimer);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done() || BenchClock::now() > deadline)
            loop.quit();
    });
    check.start(1);
    if (!done())
        loop.exec();
    return done();
}

void RunFor(int milliseconds)
{
    const auto until = BenchClock::now() + std::chrono::milliseconds(milliseconds);
    RunUntil([&] { return BenchClock::now() >= until; }, milliseconds + 1000);
}

double Percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const auto at = static_cast<size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(at, values.size() - 1)];
}

// The window reads quorvel.ini at start, and writes it at every close: each
// measurement starts from its own settings, with no file from the one before.
void UseSweepSettings(int count, int wait)
{
    QFile::remove(QStringLiteral("quorvel.ini"));
    MonitorSettings = TMonitorSettings{};
    MonitorSettings.pingCount = count;
    MonitorSettings.pingWait = wait;
    MonitorSettings.pingTimeOut = SweepTimeout;
    MonitorSettings.pingSize = SweepSize;
}

// Notes the moment a widget becomes enabled: the reload button comes back in
// the completion of the sweep's last worker.
// It ends the given event loop then, so waiting for it costs nothing.
class EnableMoment : public QObject {
public:
    EnableMoment(QWidget *widget, QEventLoop &loop) : Widget(widget), Loop(loop) { widget->installEventFilter(this); }
    std::optional<BenchClock::time_point> At;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == Widget && event->type() == QEvent::EnabledChange && Widget->isEnabled() && !At) {
            At = BenchClock::now();
            Loop.quit();
        }
        return false;
    }

private:
    QWidget *Widget;
    QEventLoop &Loop;
};

bool ShowAndWait(TMainForm &form)
{
    form.show();
    return RunUntil([&] { return form.windowHandle() && form.windowHandle()->isExposed(); }, 5000);
}

void MeasureSweep(Figures &figures)
{
    UseSweepSettings(SweepCount, SweepWait);
    BenchProbes probes;
    TMainForm form;
    SetLoopbackHosts(form);
    // Tall enough to show every row, so every report's repaint is seen.
    form.resize(450, (Hosts + 3) * platform::TStringGrid::DefaultRowHeight);
    ShowAndWait(form);
    probes.WatchPainting(*form.MainViewSGrid);
    RunFor(100);
    probes.Clear();

    double lateness = 0;
    auto last = BenchClock::now();
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const auto now = BenchClock::now();
        lateness = std::max(lateness, MillisecondsBetween(last, now) - 5.0);
        last = now;
    });

    QEventLoop sweeping;
    EnableMoment end(form.RetrieveBtn, sweeping);
    QTimer::singleShot(60000, &sweeping, &QEventLoop::quit);
    const ProcessFigures before = ReadProcessFigures();
    tick.start();
    last = BenchClock::now();
    const auto start = BenchClock::now();
    form.RetrieveBtn->click();
    const double startSweep = MillisecondsBetween(start, BenchClock::now());
    if (!end.At)
        sweeping.exec();
    const ProcessFigures after = ReadProcessFigures();
    tick.stop();
    RunFor(100); // the last rows' repaints

    const double sweep = end.At ? MillisecondsBetween(start, *end.At) / 1000.0 : -1;
    const auto latencies = probes.ArrivalToRepaint(RowsOfHosts());
    figures.push_back({"sweep_s", sweep});
    figures.push_back({"sweep_ratio", sweep / (SweepCount * SweepWait / 1000.0)});
    figures.push_back({"cpu_s", after.CpuSeconds - before.CpuSeconds});
    figures.push_back({"start_sweep_ms", startSweep});
    figures.push_back({"ui_lateness_ms", lateness});
    figures.push_back({"repaint_p50_ms", Percentile(latencies, 0.50)});
    figures.push_back({"repaint_p99_ms", Percentile(latencies, 0.99)});
    figures.push_back({"repaint_samples", static_cast<double>(latencies.size())});
}

void MeasureFping(Figures &figures, double ourCpu)
{
    const QString fping = QStandardPaths::findExecutable("fping");
    if (fping.isEmpty())
        return;
    QProcess process;
    const ProcessFigures before = ReadProcessFigures();
    const auto start = BenchClock::now();
    process.start(fping,
                  {"-C", "3", "-q", "-p", "200", "-t", "200", "-i", "0", "-b", "64", "-g", "127.0.0.1", "127.0.1.0"});
    process.waitForFinished(60000);
    const double wall = SecondsSince(start);
    const double cpu = ReadProcessFigures().ChildCpuSeconds - before.ChildCpuSeconds;
    figures.push_back({"fping_wall_s", wall});
    figures.push_back({"fping_cpu_s", cpu});
    figures.push_back({"cpu_ratio_vs_fping", cpu > 0 ? ourCpu / cpu : -1});
}

void MeasureCloseMidSweep(Figures &figures)
{
    UseSweepSettings(3, 60000);
    auto *form = new TMainForm;
    SetLoopbackHosts(*form);
    ShowAndWait(*form);
    form->RetrieveBtn->click();
    RunUntil([&] { return form->MainViewSGrid->Cell(1, Hosts) == "1"; }, 30000);
    const auto start = BenchClock::now();
    form->close();
    delete form;
    figures.push_back({"close_ms", MillisecondsBetween(start, BenchClock::now())});
}

// The child shows the window once and reports when it is painted.
int StartupChild(int argc, char **argv)
{
    QApplication application(argc, argv);
    platform::Application::StartRecording();
    auto *form = new TMainForm;
    struct FirstPaint : QObject {
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint) {
                std::puts("shown");
                std::fflush(stdout);
                std::_Exit(0);
            }
            return false;
        }
    } firstPaint;
    form->installEventFilter(&firstPaint);
    form->show();
    return application.exec();
}

void MeasureStartup(Figures &figures, const QString &self)
{
    // A control file with every host, as the window writes it.
    UseSweepSettings(1, 1000);
    {
        TMainForm form;
        SetLoopbackHosts(form);
        form.close();
    }
    QProcess child;
    child.setWorkingDirectory(QDir::currentPath());
    const auto start = BenchClock::now();
    child.start(self, {"--startup-child"});
    const bool shown = child.waitForReadyRead(30000) && child.readAll().startsWith("shown");
    figures.push_back({"startup_ms", shown ? MillisecondsBetween(start, BenchClock::now()) : -1});
    child.waitForFinished(5000);
}

void MeasureSoak(Figures &figures, int sweeps)
{
    UseSweepSettings(1, 10);
    TMainForm form;
    SetLoopbackHosts(form);
    ProcessFigures first;
    for (int sweep = 1; sweep <= sweeps; ++sweep) {
        form.RetrieveBtn->click();
        RunUntil([&] { return form.PendingCount == 0; }, 60000);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (sweep == 1)
            first = ReadProcessFigures();
    }
    const ProcessFigures last = ReadProcessFigures();
    figures.push_back({"soak_sweeps", static_cast<double>(sweeps)});
    figures.push_back({"soak_rss_first_mib", first.RssMiB});
    figures.push_back({"soak_rss_last_mib", last.RssMiB});
    figures.push_back({"soak_threads_first", static_cast<double>(first.Threads)});
    figures.push_back({"soak_threads_last", static_cast<double>(last.Threads)});
    figures.push_back({"soak_fds_first", static_cast<double>(first.OpenFds)});
    figures.push_back({"soak_fds_last", static_cast<double>(last.OpenFds)});
}

double Figure(const Figures &figures, const std::string &key)
{
    for (const auto &[name, value] : figures)
        if (name == key)
            return value;
    return -1;
}

void Print(const Figures &figures)
{
    std::string json = "{";
    for (const auto &[name, value] : figures) {
        if (json.size() > 1)
            json += ", ";
        char number[64];
        std::snprintf(number, sizeof number, "%.4g", value);
        json += "\"" + name + "\": " + number;
    }
    std::printf("%s}\n\n", json.c_str());
    std::printf("sweep of %d hosts x %d echoes: %.3f s (%.3f of the ideal %.1f s), %.3f CPU s\n", Hosts, SweepCount,
                Figure(figures, "sweep_s"), Figure(figures, "sweep_ratio"), SweepCount * SweepWait / 1000.0,
                Figure(figures, "cpu_s"));
    if (Figure(figures, "fping_wall_s") >= 0)
        std::printf("fping on the same echoes: %.3f s, %.3f CPU s (ours %.2f x)\n", Figure(figures, "fping_wall_s"),
                    Figure(figures, "fping_cpu_s"), Figure(figures, "cpu_ratio_vs_fping"));
    std::printf("window blocked at most %.1f ms; reply to repaint p50 %.1f ms, p99 %.1f ms\n",
                Figure(figures, "ui_lateness_ms"), Figure(figures, "repaint_p50_ms"),
                Figure(figures, "repaint_p99_ms"));
    std::printf("close mid-sweep %.1f ms; start-up with %d hosts %.1f ms; peak memory %.1f MiB\n",
                Figure(figures, "close_ms"), Hosts, Figure(figures, "startup_ms"), Figure(figures, "peak_rss_mib"));
    std::printf("soak of %.0f sweeps: RSS %.1f -> %.1f MiB, threads %.0f -> %.0f, fds %.0f -> %.0f\n",
                Figure(figures, "soak_sweeps"), Figure(figures, "soak_rss_first_mib"),
                Figure(figures, "soak_rss_last_mib"), Figure(figures, "soak_threads_first"),
                Figure(figures, "soak_threads_last"), Figure(figures, "soak_fds_first"),
                Figure(figures, "soak_fds_last"));
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1 && std::string(argv[1]) == "--startup-child")
        return StartupChild(argc, argv);
    QApplication application(argc, argv);
    platform::Application::StartRecording();
    QTemporaryDir workDir;
    QDir::setCurrent(workDir.path());

    Figures figures;
    std::fprintf(stderr, "sweep of %d loopback hosts...\n", Hosts);
    MeasureSweep(figures);
    figures.push_back({"peak_rss_mib", ReadProcessFigures().PeakRssMiB});
    MeasureFping(figures, Figure(figures, "cpu_s"));
    std::fprintf(stderr, "closing mid-sweep...\n");
    MeasureCloseMidSweep(figures);
    std::fprintf(stderr, "start-up...\n");
    MeasureStartup(figures, QCoreApplication::applicationFilePath());
    const int soakSweeps = argc > 1 ? std::atoi(argv[1]) : 100;
    std::fprintf(stderr, "soak of %d sweeps...\n", soakSweeps);
    MeasureSoak(figures, soakSweeps);
    Print(figures);
    const QStringList messages = platform::Application::Messages();
    for (const QString &message : messages)
        std::fprintf(stderr, "%s\n", qPrintable(message));
    return messages.isEmpty() ? 0 : 1;
}
