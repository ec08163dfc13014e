// quorvel-sweep as a process of its own, in a scratch directory with a
// control file: the table on standard output, the window's messages on
// standard error, the exit status, and a control file left as it was.
#include "monitor/ControlFile.h"
#include "monitor/SweepCommandLine.h"
#include "monitor/main.h"
#include "platform/Cp932.h"
#include "tests/support/NetnsLab.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

namespace {

// Where the program runs: here, or in the lab's client namespace, with or
// without the right to open ICMP sockets.
enum class Place { Here, InLab, InLabWithoutIcmp };

struct Outcome {
    int Status = -1;
    QString Out;
    QString Err;
};

using Rows = QList<QStringList>;

const QString Header = QStringLiteral("成功\t回数\tメッセージ\tホスト\t備　考\n");

// A label longer than 63 bytes: the resolver library refuses the name
// before any query leaves the machine, and .invalid would never resolve.
const QString Unresolvable = QString(64, 'x') + QStringLiteral(".invalid");

// The note carries U+FF5E, which only code page 932 (not plain Shift-JIS)
// holds as 81 60.
const QString JapaneseNote = QStringLiteral("本社　サーバ～");

QString Table(const Rows &rows)
{
    QString text = Header;
    for (const QStringList &row : rows)
        text += row.join('\t') + '\n';
    return text;
}

// Two quick echoes a host; the dropped echo of the lab costs one timeout.
TMonitorSettings QuickSettings(int32_t pingCount = 2, bool exec = false)
{
    TMonitorSettings settings;
    settings.pingCount = pingCount;
    settings.pingWait = 0;
    settings.pingTimeOut = 500;
    settings.Exec = exec;
    return settings;
}

// What the window's writer stores for these settings and hosts.
QByteArray Written(const TMonitorSettings &settings, const QList<QStringList> &hostsAndNotes)
{
    TControlFileContent content;
    content.Height = 274;
    content.Width = 450;
    content.ColWidths = {120, 120, 120, 120, 120};
    content.Settings = settings;
    for (const QStringList &host : hostsAndNotes)
        content.Hosts.push_back({platform::ToCp932(host[0]), platform::ToCp932(host.value(1))});
    return QByteArray::fromStdString(ControlFileLines(content).Text());
}

QString LoopbackHost(int index) // 0 gives 127.0.0.1, 255 gives 127.0.1.0
{
    const int host = index + 1;
    return QStringLiteral("127.0.%1.%2").arg(host / 256).arg(host % 256);
}

// Runs the program with the caller's network namespace. The display
// variables go, so that the program has to pick the offscreen platform
// itself; a runtime directory of its own keeps Qt from warning about one.
Outcome RunSweep(const QStringList &command, const QString &directory, const QString &runtime)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(name);
    environment.insert("XDG_RUNTIME_DIR", runtime);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(directory);
    process.start(command.front(), command.mid(1));
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit)
        return {-1, {}, process.errorString() + '\n' + QString::fromUtf8(process.readAllStandardError())};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// Long enough ago that any write would move the time.
const QDateTime Stamp = QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC);

} // namespace

Q_DECLARE_METATYPE(Place)
Q_DECLARE_METATYPE(std::optional<QByteArray>)

class TestQuorvelSweep : public QObject {
    Q_OBJECT

    NetnsLab Lab;
    QString LabUnavailable;
    QTemporaryDir Runtime;

private slots:
    void initTestCase()
    {
        QVERIFY(QFileInfo(QStringLiteral(QUORVEL_SWEEP_PROGRAM)).isExecutable());
        QVERIFY(Runtime.isValid());
        LabUnavailable = NetnsLab::Unavailable();
        if (LabUnavailable.isEmpty())
            LabUnavailable = Lab.Build();
        if (LabUnavailable.isEmpty())
            LabUnavailable = Lab.SelectSocketKind(NetnsLab::SocketKind::Raw);
    }

    void cleanupTestCase() { Lab.Remove(); }

    void sweep_data();
    void sweep();
};

void TestQuorvelSweep::sweep_data()
{
    QTest::addColumn<std::optional<QByteArray>>("controlFile");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Place>("place");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::addColumn<int>("status");

    const QList<QStringList> loopback{{"127.0.0.1", "loop"}, {"127.0.0.2", ""}, {"127.0.0.3", JapaneseNote}};
    const Rows answered{{"2", "2", "127.0.0.1", "127.0.0.1", "loop"},
                        {"2", "2", "127.0.0.2", "127.0.0.2", ""},
                        {"2", "2", "127.0.0.3", "127.0.0.3", JapaneseNote}};
    const QString none;

    QTest::newRow("all answer") << std::optional(Written(QuickSettings(), loopback)) << QStringList{} << Place::Here
                                << Table(answered) << none << 0;
    QTest::newRow("start-up sweep") << std::optional(Written(QuickSettings(2, true), loopback)) << QStringList{}
                                    << Place::Here << Table(answered) << none << 0;
    QTest::newRow("name that cannot be resolved")
        << std::optional(Written(QuickSettings(), {{Unresolvable, "gone"}})) << QStringList{} << Place::Here
        << Table({{"0", "2", "Unknown host", Unresolvable, "gone"}}) << none << 2;
    QTest::newRow("answered and unresolved")
        << std::optional(Written(QuickSettings(), {{"127.0.0.1"}, {Unresolvable}})) << QStringList{} << Place::Here
        << Table({{"2", "2", "127.0.0.1", "127.0.0.1", ""}, {"0", "2", "Unknown host", Unresolvable, ""}}) << none << 1;
    QTest::newRow("every other echo dropped")
        << std::optional(Written(QuickSettings(), {{NetnsLab::AnsweringHost}, {NetnsLab::AlternatingHost, "flaky"}}))
        << QStringList{} << Place::InLab
        << Table({{"2", "2", NetnsLab::AnsweringHost, NetnsLab::AnsweringHost, ""},
                  {"1", "2", NetnsLab::AlternatingHost, NetnsLab::AlternatingHost, "flaky"}})
        << none << 1;
    QTest::newRow("no hosts") << std::optional(Written(QuickSettings(), {})) << QStringList{} << Place::Here << Header
                              << none << 2;
    QTest::newRow("no control file") << std::optional<QByteArray>() << QStringList{} << Place::Here << Header << none
                                     << 2;
    QTest::newRow("no echoes") << std::optional(Written(QuickSettings(0), loopback)) << QStringList{} << Place::Here
                               << Table({{"0", "0", "Ping!", "127.0.0.1", "loop"},
                                         {"0", "0", "Ping!", "127.0.0.2", ""},
                                         {"0", "0", "Ping!", "127.0.0.3", JapaneseNote}})
                               << none << 2;

    QList<QStringList> tooMany;
    Rows firstHosts;
    for (int index = 0; index <= MaxHosts; ++index) {
        tooMany << QStringList{LoopbackHost(index)};
        if (index < MaxHosts)
            firstHosts << QStringList{"1", "1", LoopbackHost(index), LoopbackHost(index), ""};
    }
    QTest::newRow("more hosts than the table holds")
        << std::optional(Written(QuickSettings(1), tooMany)) << QStringList{} << Place::Here << Table(firstHosts)
        << QStringLiteral("ホストは 256 件までです。コントロールファイルにある残りの 1 件は読み込みませんでした。\n")
        << 0;

    // Exec is on and hosts follow: neither the start-up sweep nor a later
    // one runs, and nothing is printed.
    QByteArray malformed = Written(QuickSettings(2, true), loopback);
    malformed.replace("[pingCount]\r\n2\r\n", "[pingCount]\r\nabc\r\n");
    QTest::newRow("malformed value line") << std::optional(malformed) << QStringList{} << Place::Here << none
                                          << QStringLiteral("'abc' は整数ではありません.\n") << 3;
    QTest::newRow("echo component cannot be built")
        << std::optional(Written(QuickSettings(), loopback)) << QStringList{} << Place::InLabWithoutIcmp << none
        << QStringLiteral("ICMP ソケットを開く権限がありません。sysctl の net.ipv4.ping_group_range にこのユーザーの"
                          "グループを含めるか、setcap cap_net_raw+ep でプログラムに権限を与えて下さい。.\n")
        << 3;

    QTest::newRow("--help") << std::optional(Written(QuickSettings(), loopback)) << QStringList{"--help"} << Place::Here
                            << SweepUsage() << none << 0;
    QTest::newRow("unknown option") << std::optional(Written(QuickSettings(), loopback)) << QStringList{"--verbose"}
                                    << Place::Here << none
                                    << QStringLiteral("quorvel-sweep: 引数 --verbose は使えません。"
                                                      "使い方は quorvel-sweep --help で表示します。\n")
                                    << 3;
    // Qt's own options are arguments like any other.
    QTest::newRow("Qt's platform option")
        << std::optional(Written(QuickSettings(), loopback)) << QStringList{"-platform", "xcb"} << Place::Here << none
        << QStringLiteral("quorvel-sweep: 引数 -platform は使えません。使い方は quorvel-sweep --help で表示します。\n")
        << 3;
}

void TestQuorvelSweep::sweep()
{
    QFETCH(std::optional<QByteArray>, controlFile);
    QFETCH(QStringList, arguments);
    QFETCH(Place, place);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(int, status);

    QStringList command{QStringLiteral(QUORVEL_SWEEP_PROGRAM)};
    if (place != Place::Here) {
        if (!LabUnavailable.isEmpty())
            QSKIP(qPrintable("no network namespaces for the lab: " + LabUnavailable));
        const QString failure = Lab.RestartAlternation();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
    if (place == Place::InLabWithoutIcmp) {
        // The client refuses datagram sockets to every group, and without
        // CAP_NET_RAW even root opens no raw one.
        const QString setpriv = QStandardPaths::findExecutable("setpriv");
        if (setpriv.isEmpty())
            QSKIP("setpriv is not installed");
        command = QStringList{setpriv, "--inh-caps=-net_raw", "--bounding-set=-net_raw", "--"} + command;
    }
    command += arguments;

    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString path = directory.filePath(ControlFile);
    if (controlFile) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(*controlFile), controlFile->size());
        QVERIFY(file.flush());
        QVERIFY(file.setFileTime(Stamp, QFileDevice::FileModificationTime));
    }

    Outcome outcome;
    if (place == Place::Here) {
        outcome = RunSweep(command, directory.path(), Runtime.path());
    } else {
        const QString failure = Lab.RunInClient([&] { outcome = RunSweep(command, directory.path(), Runtime.path()); });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }

    QCOMPARE(outcome.Err, err);
    QCOMPARE(outcome.Out, out);
    QCOMPARE(outcome.Status, status);
    // Nothing written: the same file with the same time, or still none.
    QCOMPARE(QDir(directory.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             controlFile ? QStringList{ControlFile} : QStringList{});
    if (controlFile) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), *controlFile);
        QCOMPARE(QFileInfo(path).lastModified(), Stamp);
    }
}

QTEST_GUILESS_MAIN(TestQuorvelSweep)
#include "tst_quorvelsweep.moc"
