// The control file's format: the writer's bytes and the reader's rules.
#include "monitor/ControlFile.h"
#include "platform/IntegerConversion.h"

#include <QTest>

namespace {

// The header in code page 932, split where a hex escape would run on.
#define HEADER                                                                                                         \
    "Quorvel\x83R\x83\x93\x83g\x83\x8D\x81[\x83\x8B\x83t\x83@\x83"                                                     \
    "C\x83\x8B"

TControlFileContent Sample()
{
    TControlFileContent content;
    content.Height = 300;
    content.Width = 500;
    content.Top = 20;
    content.Left = -10;
    content.ColWidths = {30, 40, 50, 60, 70};
    content.Settings = {3, 500, 1500, 32, 300, 5, true, false};
    // Unsorted, with an empty note and bytes beyond ASCII.
    content.Hosts = {{"zeta.example", "\x94\xF5\x8Dl\x81`"}, {"10.0.0.1", ""}, {"\xB7\xAC\xDD\xBE\xD9", "[Exec]"}};
    return content;
}

const QByteArray SampleBytes = HEADER "\r\n"
                                      "\r\n"
                                      "[Height]\r\n300\r\n"
                                      "[Width]\r\n500\r\n"
                                      "[Top]\r\n20\r\n"
                                      "[Left]\r\n-10\r\n"
                                      "[ColWidth0]\r\n30\r\n"
                                      "[ColWidth1]\r\n40\r\n"
                                      "[ColWidth2]\r\n50\r\n"
                                      "[ColWidth3]\r\n60\r\n"
                                      "[ColWidth4]\r\n70\r\n"
                                      "[pingCount]\r\n3\r\n"
                                      "[pingWait]\r\n500\r\n"
                                      "[pingTimeOut]\r\n1500\r\n"
                                      "[pingSize]\r\n32\r\n"
                                      "[pingTTL]\r\n300\r\n"
                                      "[AutoTime]\r\n5\r\n"
                                      "[AutoExec]\r\n1\r\n"
                                      "[Exec]\r\n0\r\n"
                                      "\r\n"
                                      "[Hosts]\r\n"
                                      "zeta.example\r\n\x94\xF5\x8Dl\x81`\r\n"
                                      "10.0.0.1\r\n\r\n"
                                      "\xB7\xAC\xDD\xBE\xD9\r\n[Exec]\r\n"
                                      "[end]\r\n";

// Logs every call in order, and keeps what it was given as content.
class RecordingTarget final : public TControlFileTarget {
public:
    QStringList Log;
    TControlFileContent Content;
    int LeftOut = 0;

    void SetWindowValue(TWindowValue which, int32_t value) override
    {
        static const char *const names[] = {"Height", "Width", "Top", "Left"};
        Log << QString("%1 %2").arg(names[static_cast<int>(which)]).arg(value);
        int32_t *fields[] = {&Content.Height, &Content.Width, &Content.Top, &Content.Left};
        *fields[static_cast<int>(which)] = value;
    }
    void SetColWidth(int column, int32_t width) override
    {
        Log << QString("ColWidth%1 %2").arg(column).arg(width);
        Content.ColWidths[static_cast<size_t>(column)] = width;
    }
    void AddHost(const std::string &host, const std::string &note) override
    {
        Log << QString("host %1|%2").arg(QString::fromLatin1(host), QString::fromLatin1(note));
        Content.Hosts.push_back({host, note});
    }
    void LeaveOutHost() override { ++LeftOut; }
};

platform::TStringList LinesOf(const QByteArray &bytes)
{
    platform::TStringList lines;
    lines.SetText(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    return lines;
}

QString SettingsText(const TMonitorSettings &s)
{
    return QString("%1 %2 %3 %4 %5 %6 %7 %8")
        .arg(s.pingCount)
        .arg(s.pingWait)
        .arg(s.pingTimeOut)
        .arg(s.pingSize)
        .arg(s.pingTTL)
        .arg(s.AutoTime)
        .arg(int(s.AutoExec))
        .arg(int(s.Exec));
}

const QString Defaults = "1 1000 2000 64 255 10 0 0";

} // namespace

class TestControlFile : public QObject {
    Q_OBJECT

private slots:
    void writerBytes();
    void writerWithoutHosts();
    void readBackWritesTheSameBytes();
    void reader_data();
    void reader();
    void hostsBeyondTheLimit_data();
    void hostsBeyondTheLimit();
};

void TestControlFile::writerBytes()
{
    const std::string text = ControlFileLines(Sample()).Text();
    QCOMPARE(QByteArray::fromStdString(text), SampleBytes);
    QCOMPARE(ControlFileLines(Sample()).Count(), 39 + 2 * 3);
}

void TestControlFile::writerWithoutHosts()
{
    TControlFileContent content = Sample();
    content.Hosts.clear();
    const platform::TStringList lines = ControlFileLines(content);
    QCOMPARE(lines.Count(), 39);
    QCOMPARE(lines[37], std::string("[Hosts]"));
    QCOMPARE(lines[38], std::string("[end]"));
}

void TestControlFile::readBackWritesTheSameBytes()
{
    RecordingTarget target;
    ApplyControlFile(LinesOf(SampleBytes), target, target.Content.Settings, 256);
    QCOMPARE(target.LeftOut, 0);
    QCOMPARE(target.Content.Hosts, Sample().Hosts);
    QCOMPARE(QByteArray::fromStdString(ControlFileLines(target.Content).Text()), SampleBytes);
}

void TestControlFile::reader_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("log"); // what reached the target, in order
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("error"); // empty: none

    QTest::newRow("empty file") << QByteArray() << QStringList{} << Defaults << "";
    QTest::newRow("any order, repeated tags, other lines ignored")
        << QByteArray("[pingTTL]\r\n7\r\nnot a tag\r\n[Exec]\r\n1\r\n[Width]\r\n500\r\n[ColWidth3]\r\n45\r\n"
                      "[Width]\r\n600\r\n[Exec]\r\n0\r\n")
        << QStringList{"Width 500", "ColWidth3 45", "Width 600"} << "1 1000 2000 64 7 10 0 0"
        << "";
    QTest::newRow("tags match byte for byte and with case")
        << QByteArray("[width]\r\n1\r\n[ColWidth5]\r\n2\r\n [Top]\r\n3\r\n[Top] \r\n4\r\n") << QStringList{} << Defaults
        << "";
    QTest::newRow("leading spaces and hexadecimal")
        << QByteArray("[pingCount]\r\n 5\r\n[pingSize]\r\n$20\r\n[Top]\r\n0xFFFFFFFF\r\n") << QStringList{"Top -1"}
        << "5 1000 2000 32 255 10 0 0"
        << "";
    QTest::newRow("switches: any integer but 0 is on")
        << QByteArray("[AutoExec]\r\n2\r\n[Exec]\r\n-1\r\n") << QStringList{} << "1 1000 2000 64 255 10 1 1"
        << "";
    QTest::newRow("all 32 bits kept") << QByteArray("[pingTTL]\r\n300\r\n[AutoTime]\r\n-2147483648\r\n")
                                      << QStringList{} << "1 1000 2000 64 300 -2147483648 0 0"
                                      << "";
    QTest::newRow("LF only") << QByteArray("[Width]\n500\n[Hosts]\na\nb\n[end]\n")
                             << QStringList{"Width 500", "host a|b"} << Defaults << "";
    QTest::newRow("CR only") << QByteArray("[Width]\r500\r[Hosts]\ra\rb\r[end]\r")
                             << QStringList{"Width 500", "host a|b"} << Defaults << "";
    QTest::newRow("LF CR is two breaks") << QByteArray("[Hosts]\r\na\n\rb\r\n") << QStringList{"host a|"} << Defaults
                                         << "";
    static const char withNul[] = "[Width]\r\n500\r\n[Height]\r\n3\0\r\n[Top]\r\n9\r\n";
    QTest::newRow("a NUL ends the text") << QByteArray(withNul, sizeof withNul - 1)
                                         << QStringList{"Width 500", "Height 3"} << Defaults << "";
    QTest::newRow("tag on the last line")
        << QByteArray("[Width]\r\n500\r\n[Height]") << QStringList{"Width 500"} << Defaults << "";
    QTest::newRow("[Hosts] last") << QByteArray("[Width]\r\n1\r\n[Hosts]\r\n") << QStringList{"Width 1"} << Defaults
                                  << "";
    QTest::newRow("[Hosts] and one line") << QByteArray("[Hosts]\r\nalone\r\n") << QStringList{} << Defaults << "";
    QTest::newRow("host list lines are never tags")
        << QByteArray("[Hosts]\r\n[Exec]\r\n1\r\nh\r\n[AutoExec]\r\n[end]\r\n")
        << QStringList{"host [Exec]|1", "host h|[AutoExec]"} << Defaults << "";
    QTest::newRow("empty note") << QByteArray("[Hosts]\r\na\r\n\r\nb\r\nnb\r\n[end]\r\n")
                                << QStringList{"host a|", "host b|nb"} << Defaults << "";
    QTest::newRow("empty host line ends the list, skips two lines")
        << QByteArray("[Hosts]\r\na\r\nna\r\n\r\n[Exec]\r\n1\r\n[AutoExec]\r\n1\r\nb\r\nnb\r\n")
        << QStringList{"host a|na"} << "1 1000 2000 64 255 10 1 0"
        << "";
    QTest::newRow("a line after [end] makes a host") << QByteArray("[Hosts]\r\na\r\nna\r\n[end]\r\n\r\n")
                                                     << QStringList{"host a|na", "host [end]|"} << Defaults << "";
    QTest::newRow("a second host list appends")
        << QByteArray("[Hosts]\r\na\r\nna\r\n\r\n\r\n\r\n[Hosts]\r\nb\r\nnb\r\n")
        << QStringList{"host a|na", "host b|nb"} << Defaults << "";
    QTest::newRow("abc keeps what came before")
        << QByteArray("[pingWait]\r\n5\r\n[Width]\r\n500\r\n[Hosts]\r\nh1\r\nn1\r\n\r\n\r\n\r\n[ColWidth0]\r\n9\r\n"
                      "[pingCount]\r\nabc\r\n[pingSize]\r\n9\r\n[Hosts]\r\nh2\r\nn2\r\n")
        << QStringList{"Width 500", "host h1|n1", "ColWidth0 9"} << "1 5 2000 64 255 10 0 0"
        << "'abc' は整数ではありません";
    QTest::newRow("trailing space refused") << QByteArray("[AutoExec]\r\n1\r\n[Height]\r\n5 \r\n[Width]\r\n6\r\n")
                                            << QStringList{} << "1 1000 2000 64 255 10 1 0"
                                            << "'5 ' は整数ではありません";
    QTest::newRow("missing value: the next tag is the value")
        << QByteArray("[Top]\r\n[Left]\r\n3\r\n") << QStringList{} << Defaults << "'[Left]' は整数ではありません";
    QTest::newRow("bad switch") << QByteArray("[Exec]\r\non\r\n") << QStringList{} << Defaults
                                << "'on' は整数ではありません";
}

void TestControlFile::reader()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, log);
    QFETCH(QString, settings);
    QFETCH(QString, error);

    RecordingTarget target;
    TMonitorSettings record;
    QString raised;
    try {
        ApplyControlFile(LinesOf(file), target, record, 256);
    } catch (const platform::EConvertError &e) {
        raised = QString::fromUtf8(e.what());
    }
    QCOMPARE(raised, error);
    QCOMPARE(target.Log, log);
    QCOMPARE(SettingsText(record), settings);
}

void TestControlFile::hostsBeyondTheLimit_data()
{
    QTest::addColumn<int>("pairs");
    QTest::addColumn<int>("limit");

    QTest::newRow("300 pairs, 256 rows") << 300 << 256;
    QTest::newRow("exactly the limit") << 256 << 256;
    QTest::newRow("small limit") << 5 << 2;
}

void TestControlFile::hostsBeyondTheLimit()
{
    QFETCH(int, pairs);
    QFETCH(int, limit);

    // The pairs beyond the limit are still read as pairs: the tags after the
    // list apply, and none of the left-out lines is taken for a tag.
    QByteArray file = "[Hosts]\r\n";
    for (int i = 0; i < pairs; ++i)
        file += QByteArray("h") + QByteArray::number(i) + "\r\n[Exec]\r\n";
    file += "\r\n\r\n\r\n[AutoExec]\r\n1\r\n";
    RecordingTarget target;
    TMonitorSettings record;
    ApplyControlFile(LinesOf(file), target, record, limit);
    const int added = std::min(pairs, limit);
    QCOMPARE(int(target.Content.Hosts.size()), added);
    QCOMPARE(target.Content.Hosts.back().Host, "h" + std::to_string(added - 1));
    QCOMPARE(target.LeftOut, pairs - added);
    QVERIFY(record.AutoExec);
    QVERIFY(!record.Exec);
}

QTEST_APPLESS_MAIN(TestControlFile)
#include "tst_controlfile.moc"
