// The control file through the real window: start-up, restart and close.
#include "monitor/ControlFile.h"
#include "monitor/MonitorSettings.h"
#include "monitor/main.h"
#include "platform/Application.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/ScriptedPlatform.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <memory>

namespace {

QRect ScreenArea() { return QGuiApplication::primaryScreen()->availableGeometry(); }

// A file as the writer makes it: 500 x 300 on the screen, narrow columns,
// settings off their defaults, hosts out of order.
TControlFileContent Stored()
{
    TControlFileContent content;
    content.Height = 300;
    content.Width = 500;
    content.Top = ScreenArea().top() + 30;
    content.Left = ScreenArea().left() + 40;
    content.ColWidths = {30, 40, 50, 60, 70};
    content.Settings = {3, 0, 1500, 32, 300, 5, true, false};
    content.Hosts = {{"zeta.example", "\x94\xF5\x8Dl\x81`"}, {"10.0.0.1", ""}, {"alpha", "[Exec]"}};
    return content;
}

QByteArray BytesOf(const TControlFileContent &content)
{
    return QByteArray::fromStdString(ControlFileLines(content).Text());
}

void WriteFile(const QByteArray &bytes)
{
    QFile file(ControlFile);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray ReadFile()
{
    QFile file(ControlFile);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the writer should make of the window as it stands.
TControlFileContent ContentOf(TMainForm &form)
{
    TControlFileContent content;
    content.Height = form.height();
    content.Width = form.width();
    content.Top = form.y();
    content.Left = form.x();
    for (int column = 0; column < StoredColumns; ++column)
        content.ColWidths[static_cast<size_t>(column)] = form.MainViewSGrid->ColWidth(column);
    content.Settings = MonitorSettings;
    for (int row = 1; row < form.MainViewSGrid->RowCount() - 1; ++row)
        content.Hosts.push_back({form.MainViewSGrid->Cell(3, row), form.MainViewSGrid->Cell(4, row)});
    return content;
}

std::vector<TControlFileHost> HostRows(TMainForm &form) { return ContentOf(form).Hosts; }

QStringList Entries() { return QDir::current().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); }

void Show(TMainForm &form)
{
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
}

} // namespace

class TestControlFileWindow : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        MonitorSettings = TMonitorSettings{};
        platform::Application::StartRecording();
        Dir = std::make_unique<QTemporaryDir>();
        QVERIFY(Dir->isValid());
        QVERIFY(QDir::setCurrent(Dir->path()));
    }
    void cleanup()
    {
        platform::Application::StopRecording();
        QDir::setCurrent(QDir::tempPath());
        Dir.reset();
    }

    void startsWithoutFileAndWritesAtClose_data();
    void startsWithoutFileAndWritesAtClose();
    void restartRestoresEverything();
    void storedPositionOffScreenIsCentred_data();
    void storedPositionOffScreenIsCentred();
    void execStartsSweepBeforeShow();
    void malformedNumberStopsStartUp();
    void hostsBeyondMaxHostsLeftOutWithNotice();
    void unwritableFileKeepsWindowOpen();
    void fullDiskKeepsOldFile();

private:
    std::unique_ptr<QTemporaryDir> Dir;
};

void TestControlFileWindow::startsWithoutFileAndWritesAtClose_data()
{
    QTest::addColumn<bool>("closeBox"); // else the exit button
    QTest::newRow("exit button") << false;
    QTest::newRow("close box") << true;
}

void TestControlFileWindow::startsWithoutFileAndWritesAtClose()
{
    QFETCH(bool, closeBox);
    TMainForm form;
    QCOMPARE(form.size(), QSize(450, 274));
    QCOMPARE(form.MainViewSGrid->RowCount(), 2);
    QVERIFY(!form.pingTimer->isActive());
    Show(form);
    QCOMPARE(form.frameGeometry().center(), ScreenArea().center());

    TControlFileContent expected;
    expected.Height = 274;
    expected.Width = 450;
    expected.Top = form.y();
    expected.Left = form.x();
    expected.ColWidths = {120, 120, 120, 120, 120};
    if (closeBox)
        QVERIFY(form.windowHandle()->close());
    else
        form.ExitBtn->click();
    QVERIFY(!form.isVisible());
    QCOMPARE(ReadFile(), BytesOf(expected));
    QCOMPARE(Entries(), QStringList{ControlFile});
    QCOMPARE(platform::Application::Messages(), QStringList{});
}

void TestControlFileWindow::restartRestoresEverything()
{
    const QByteArray file = BytesOf(Stored());
    WriteFile(file);
    TMainForm form;
    QCOMPARE(form.size(), QSize(500, 300));
    for (int column = 0; column < StoredColumns; ++column)
        QCOMPARE(form.MainViewSGrid->ColWidth(column), Stored().ColWidths[static_cast<size_t>(column)]);
    // The filler column was fitted after the widths came in.
    QCOMPARE(form.MainViewSGrid->ColWidth(5), form.MainViewSGrid->width() - 250);
    QCOMPARE(form.MainViewSGrid->RowCount(), 5);
    QCOMPARE(HostRows(form), Stored().Hosts);
    for (int column = 0; column < 3; ++column)
        QCOMPARE(form.MainViewSGrid->Cell(column, 1), std::string());
    QCOMPARE(MonitorSettings.pingTTL, 300);
    QVERIFY(form.pingTimer->isActive());
    QCOMPARE(form.pingTimer->interval(), 5 * 60000);
    QCOMPARE(form.PendingCount, 0);

    Show(form);
    QCOMPARE(form.pos(), QPoint(Stored().Left, Stored().Top));
    QCOMPARE(form.size(), QSize(500, 300));
    form.ExitBtn->click();
    QVERIFY(!form.isVisible());
    QCOMPARE(ReadFile(), file);
    QCOMPARE(platform::Application::Messages(), QStringList{});
}

void TestControlFileWindow::storedPositionOffScreenIsCentred_data()
{
    QTest::addColumn<QPoint>("stored"); // left, top

    QTest::newRow("off every screen") << QPoint(-5000, -5000);
    QTest::newRow("over the right edge") << QPoint(ScreenArea().right() - 100, ScreenArea().top());
    QTest::newRow("below the bottom") << QPoint(ScreenArea().left(), ScreenArea().bottom() - 10);
}

void TestControlFileWindow::storedPositionOffScreenIsCentred()
{
    QFETCH(QPoint, stored);
    TControlFileContent content = Stored();
    content.Left = stored.x();
    content.Top = stored.y();
    WriteFile(BytesOf(content));
    TMainForm form;
    Show(form);
    QCOMPARE(form.size(), QSize(500, 300));
    // Qt's offscreen platform lands a window that was moved before its first
    // show a pixel or two off when it is centred then.
    QVERIFY2(
        (form.frameGeometry().center() - ScreenArea().center()).manhattanLength() <= 4,
        qPrintable(
            QString("centre %1,%2").arg(form.frameGeometry().center().x()).arg(form.frameGeometry().center().y())));
}

void TestControlFileWindow::execStartsSweepBeforeShow()
{
    ScriptedPlatform platform;
    WriteFile("[Exec]\r\n1\r\n[pingWait]\r\n0\r\n[Hosts]\r\n10.0.0.1\r\nnote\r\n[end]\r\n");
    TMainForm form;
    QVERIFY(!form.isVisible());
    QCOMPARE(form.PendingCount, 1);
    QVERIFY(!form.RetrieveBtn->isEnabled());
    QCOMPARE(form.MainViewSGrid->Cell(2, 1), std::string("Ping!"));
    QTRY_VERIFY(form.RetrieveBtn->isEnabled());
    QCOMPARE(form.MainViewSGrid->Cell(2, 1), std::string("10.0.0.1"));
    QCOMPARE(platform.Sends().size(), size_t{1});
}

void TestControlFileWindow::malformedNumberStopsStartUp()
{
    ScriptedPlatform platform;
    WriteFile("[Width]\r\n500\r\n[ColWidth0]\r\n10\r\n[ColWidth1]\r\n10\r\n[ColWidth2]\r\n10\r\n[ColWidth3]\r\n10\r\n"
              "[ColWidth4]\r\n10\r\n[AutoExec]\r\n1\r\n[Exec]\r\n1\r\n"
              "[Hosts]\r\nzeta\r\nn1\r\nalpha\r\nn2\r\n\r\n\r\n\r\n"
              "[pingCount]\r\nabc\r\n[pingWait]\r\n5\r\n[Hosts]\r\nlater\r\nn3\r\n");
    TMainForm form;
    QCOMPARE(platform::Application::Messages(), QStringList{"error: 'abc' は整数ではありません."});
    // The steps after the read did not run: no filler fit (the first show's
    // resize will fit it), no timer, no sweep.
    QCOMPARE(form.MainViewSGrid->ColWidth(5), 120);
    Show(form);
    QCOMPARE(form.width(), 500);
    QCOMPARE(HostRows(form), (std::vector<TControlFileHost>{{"zeta", "n1"}, {"alpha", "n2"}}));
    QVERIFY(MonitorSettings.AutoExec);
    QVERIFY(MonitorSettings.Exec);
    QCOMPARE(MonitorSettings.pingWait, 1000);
    QVERIFY(!form.pingTimer->isActive());
    QCOMPARE(form.PendingCount, 0);
    QVERIFY(form.RetrieveBtn->isEnabled());
    QCOMPARE(form.MainViewSGrid->Cell(2, 1), std::string());
    QVERIFY(platform.Sends().empty());
}

void TestControlFileWindow::hostsBeyondMaxHostsLeftOutWithNotice()
{
    QByteArray file = "[AutoExec]\r\n1\r\n[Hosts]\r\n";
    for (int i = 0; i < 300; ++i)
        file += "h" + QByteArray::number(i) + "\r\nn\r\n";
    WriteFile(file + "[end]\r\n");
    TMainForm form;
    QCOMPARE(form.MainViewSGrid->RowCount(), MaxHosts + 2);
    QCOMPARE(form.MainViewSGrid->Cell(3, MaxHosts), std::string("h255"));
    QCOMPARE(form.MainViewSGrid->Cell(3, MaxHosts + 1), std::string());
    // The start-up carried on after the read.
    QVERIFY(form.pingTimer->isActive());
    // The notice waits for the window.
    QCoreApplication::processEvents();
    QCOMPARE(platform::Application::Messages(), QStringList{});
    Show(form);
    const QString notice =
        "message: ホストは 256 件までです。コントロールファイルにある残りの 44 件は読み込みませんでした。";
    QTRY_COMPARE(platform::Application::Messages(), QStringList{notice});
    form.hide();
    Show(form);
    QCoreApplication::processEvents();
    QCOMPARE(platform::Application::Messages(), QStringList{notice});
}

void TestControlFileWindow::unwritableFileKeepsWindowOpen()
{
    QVERIFY(QDir().mkdir(ControlFile));
    TMainForm form;
    QCOMPARE(platform::Application::Messages(), QStringList{"error: ファイル quorvel.ini は開けません."});
    QCOMPARE(form.size(), QSize(450, 274));
    Show(form);

    form.ExitBtn->click();
    QVERIFY(form.isVisible());
    QCOMPARE(platform::Application::Messages(), (QStringList{"error: ファイル quorvel.ini は開けません.",
                                                             "error: ファイル quorvel.ini を作成できません."}));
    QVERIFY(QFileInfo(ControlFile).isDir());

    QVERIFY(QDir().rmdir(ControlFile));
    form.ExitBtn->click();
    QVERIFY(!form.isVisible());
    QCOMPARE(ReadFile(), BytesOf(ContentOf(form)));
}

void TestControlFileWindow::fullDiskKeepsOldFile()
{
    const QByteArray old = BytesOf(Stored());
    WriteFile(old);
    TMainForm form;
    Show(form);
    MonitorSettings.pingCount = 9;
    {
        const FileSizeLimit limit(64);
        form.ExitBtn->click();
    }
    QVERIFY(form.isVisible());
    QCOMPARE(platform::Application::Messages(), QStringList{"error: ストリームへの書き込みエラー."});
    QCOMPARE(ReadFile(), old);
    QCOMPARE(Entries(), QStringList{ControlFile});

    form.ExitBtn->click();
    QVERIFY(!form.isVisible());
    QCOMPARE(ReadFile(), BytesOf(ContentOf(form)));
    QVERIFY(ReadFile().contains("[pingCount]\r\n9\r\n"));
}

QTEST_MAIN(TestControlFileWindow)
#include "tst_controlfilewindow.moc"
