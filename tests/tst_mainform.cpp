// The main window as it opens, its filler column and its timer.
#include "monitor/MonitorSettings.h"
#include "monitor/main.h"
#include "platform/Cp932.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <climits>

class TestMainForm : public QObject {
    Q_OBJECT

private slots:
    // The window reads and writes quorvel.ini in the working directory.
    void initTestCase() { QVERIFY(QDir::setCurrent(WorkDir.path())); }
    void init()
    {
        MonitorSettings = TMonitorSettings{};
        QFile::remove("quorvel.ini");
    }

    void newWindow()
    {
        TMainForm form;
        QCOMPARE(form.windowTitle(), QString("Quorvel　V0.99a"));
        QCOMPARE(form.size(), QSize(450, 274));
        QCOMPARE(form.font().pixelSize(), 12);

        platform::TStringGrid &grid = *form.MainViewSGrid;
        QCOMPARE(grid.ColCount(), 6);
        QCOMPARE(grid.RowCount(), 2);
        const QStringList headers{"成功", "回数", "メッセージ", "ホスト", "備　考", ""};
        int sum = 0;
        for (int column = 0; column < 6; ++column) {
            QCOMPARE(platform::FromCp932(grid.Cell(column, 0)), headers[column]);
            QCOMPARE(grid.Cell(column, 1), std::string());
            if (column < 5) {
                QCOMPARE(grid.ColWidth(column), 120);
                sum += grid.ColWidth(column);
            }
        }
        // Five columns of 120 are wider than the grid, so the filler keeps
        // its default width until the columns leave it room.
        QCOMPARE(grid.width(), 450 - 66);
        QVERIFY(sum >= grid.width());
        QCOMPARE(grid.ColWidth(5), 120);
        QVERIFY(grid.HasOption(platform::TGridOption::RowSelect));
        QVERIFY(grid.HasOption(platform::TGridOption::ColSizing));
        QVERIFY(!grid.HasOption(platform::TGridOption::VertLine));
        QVERIFY(!grid.HasOption(platform::TGridOption::HorzLine));
        QVERIFY(!grid.HasOption(platform::TGridOption::RangeSelect));

        QVERIFY(form.RetrieveBtn->isEnabled());
        QVERIFY(form.AddHostBtn->isEnabled());
        QVERIFY(!form.ModHostBtn->isEnabled());
        QVERIFY(!form.DelHostBtn->isEnabled());
        QVERIFY(form.OptionBtn->isEnabled());
        QVERIFY(form.ExitBtn->isEnabled());
        QVERIFY(form.Label1->isHidden());
        QVERIFY(form.Label2->isHidden());
        QVERIFY(!form.pingTimer->isActive());
        QCOMPARE(form.PendingCount, 0);
        QCOMPARE(form.SelectedRow, 0);
        QCOMPARE(form.RowPinger[0], nullptr);
    }

    void opensCentredWithFocusOnReload()
    {
        TMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.frameGeometry().center(), form.screen()->availableGeometry().center());
        QCOMPARE(form.Panel1->geometry(), QRect(450 - 66, 0, 66, 274));
        QCOMPARE(form.RetrieveBtn->geometry(), QRect(8, 8, 49, 25));
        QCOMPARE(form.ExitBtn->geometry(), QRect(8, 216, 49, 25));
        QCOMPARE(form.ExitBtn->focusPolicy(), Qt::NoFocus);
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QVERIFY(form.RetrieveBtn->hasFocus());
    }

    void fillerColumnFollowsResize_data()
    {
        QTest::addColumn<int>("narrowColumns"); // width of columns 0 to 4 each
        QTest::addColumn<int>("newWidth");
        QTest::addColumn<bool>("refits");
        QTest::newRow("wider window") << 40 << 700 << true;
        QTest::newRow("narrower, still room") << 40 << 400 << true;
        QTest::newRow("columns wider than the grid") << 200 << 500 << false;
    }

    void fillerColumnFollowsResize()
    {
        QFETCH(int, narrowColumns);
        QFETCH(int, newWidth);
        QFETCH(bool, refits);
        TMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        platform::TStringGrid &grid = *form.MainViewSGrid;
        for (int column = 0; column < 5; ++column)
            grid.SetColWidth(column, narrowColumns);
        const int before = grid.ColWidth(5);
        form.resize(newWidth, 300);
        QTRY_COMPARE(grid.width(), newWidth - 66);
        if (refits)
            QCOMPARE(grid.ColWidth(5), grid.width() - 5 * narrowColumns);
        else
            QCOMPARE(grid.ColWidth(5), before);
    }

    void timerProgramming_data()
    {
        QTest::addColumn<int>("autoTime");
        QTest::addColumn<bool>("autoExec");
        QTest::addColumn<bool>("active");
        QTest::addColumn<int>("interval");
        QTest::newRow("default, off") << 10 << false << false << 600000;
        QTest::newRow("ten minutes") << 10 << true << true << 600000;
        QTest::newRow("one day") << 1440 << true << true << 86400000;
        QTest::newRow("zero switches it off") << 0 << true << false << 0;
        QTest::newRow("negative switches it off") << -5 << true << false << 0;
        QTest::newRow("overflowing 32 bits, clamped") << 2147483647 << true << true << INT_MAX;
        QTest::newRow("just past the longest interval") << 35792 << true << true << INT_MAX;
        QTest::newRow("the longest whole minutes") << 35791 << true << true << 35791 * 60000;
    }

    void timerProgramming()
    {
        QFETCH(int, autoTime);
        QFETCH(bool, autoExec);
        QFETCH(bool, active);
        QFETCH(int, interval);
        MonitorSettings.AutoTime = autoTime;
        MonitorSettings.AutoExec = autoExec;
        TMainForm form;
        QCOMPARE(form.pingTimer->isActive(), active);
        if (interval)
            QCOMPARE(form.pingTimer->interval(), interval);
    }

    void exitButtonClosesWindow()
    {
        TMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.ExitBtn->click();
        QTRY_VERIFY(!form.isVisible());
    }

private:
    QTemporaryDir WorkDir;
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
