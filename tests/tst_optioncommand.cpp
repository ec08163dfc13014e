// The options command of the main window: the dialog filled from the
// settings, shown through its real modal loop, and what OK hands back.
#include "dialogs/option.h"
#include "monitor/MonitorSettings.h"
#include "monitor/main.h"
#include "platform/Application.h"
#include "platform/Edit.h"
#include "tests/support/EditTyping.h"
#include "tests/support/ScriptedPlatform.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <climits>
#include <functional>
#include <vector>

using Action = std::function<void(TOptionDlg &)>;
Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(TMonitorSettings)

namespace {

// The record as one line, so a mismatch shows every value.
QString Describe(const TMonitorSettings &s)
{
    return QString("count %1, wait %2, timeout %3, size %4, TTL %5, every %6 min, auto %7, at start %8")
        .arg(s.pingCount)
        .arg(s.pingWait)
        .arg(s.pingTimeOut)
        .arg(s.pingSize)
        .arg(s.pingTTL)
        .arg(s.AutoTime)
        .arg(s.AutoExec)
        .arg(s.Exec);
}

// Acts on the options dialog inside its real modal loop. A dialog the
// action leaves open is cancelled, so a failed check cannot hang the test.
void WhenDialogOpens(Action act)
{
    QTimer::singleShot(0, [act] {
        const QPointer<TOptionDlg> dialog = qobject_cast<TOptionDlg *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        if (QTest::qWaitForWindowActive(dialog))
            act(*dialog);
        else
            QTest::qFail("the options dialog never became active", __FILE__, __LINE__);
        if (dialog && dialog->isVisible())
            dialog->CancelBtn->click();
    });
}

// Runs the command from its button; the dialog opens for real.
void RunCommand(TMainForm &form, Action act)
{
    WhenDialogOpens(std::move(act));
    form.OptionBtn->click();
}

QList<platform::TEdit *> NumericFields(TOptionDlg &dialog)
{
    return {dialog.CountEdt, dialog.WaitEdt, dialog.TOutEdt, dialog.PSizeEdt, dialog.TTLEdt, dialog.ATimeEdt};
}

bool OptionsDialogExists()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](QWidget *w) { return qobject_cast<TOptionDlg *>(w); });
}

// Settings unlike the defaults, with timed sweeps every 20 minutes.
const TMonitorSettings Custom{5, 500, 700, 32, 64, 20, true, false};

} // namespace

class TestOptionCommand : public QObject {
    Q_OBJECT

private slots:
    // No control file is read or written here.
    void initTestCase()
    {
        QVERIFY(WorkDir.isValid());
        QDir::setCurrent(WorkDir.path());
    }
    void init()
    {
        MonitorSettings = TMonitorSettings{};
        platform::Application::StartRecording();
    }
    void cleanup()
    {
        platform::Application::StopRecording();
        QVERIFY(!OptionsDialogExists());
    }

    void dialogFilledFromSettings_data();
    void dialogFilledFromSettings();
    void handsBack_data();
    void handsBack();
    void nonIntegerStopsAtItsField_data();
    void nonIntegerStopsAtItsField();
    void timedSweepWhileOpen();

private:
    QTemporaryDir WorkDir;
};

void TestOptionCommand::dialogFilledFromSettings_data()
{
    QTest::addColumn<TMonitorSettings>("settings");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("defaults") << TMonitorSettings{} << QStringList{"1", "1000", "2000", "64", "255", "10"};
    QTest::newRow("outside the fields' ranges, full 32 bits")
        << TMonitorSettings{-1, INT_MIN, INT_MAX, 0, 300, 0, true, true}
        << QStringList{"-1", "-2147483648", "2147483647", "0", "300", "0"};
    QTest::newRow("timed, not at start") << Custom << QStringList{"5", "500", "700", "32", "64", "20"};
}

void TestOptionCommand::dialogFilledFromSettings()
{
    QFETCH(TMonitorSettings, settings);
    QFETCH(QStringList, texts);
    MonitorSettings = settings;
    TMainForm form;
    RunCommand(form, [&](TOptionDlg &dialog) {
        QStringList shown;
        for (QLineEdit *edit : NumericFields(dialog))
            shown << edit->text();
        QCOMPARE(shown, texts);
        QCOMPARE(dialog.AutoCBx->isChecked(), settings.AutoExec);
        QCOMPARE(dialog.ATimeEdt->isEnabled(), settings.AutoExec);
        QCOMPARE(dialog.ExeCBx->isChecked(), settings.Exec);
        QCOMPARE(QApplication::focusWidget(), dialog.OKBtn);
        QTest::mouseClick(dialog.OKBtn, Qt::LeftButton);
    });
    // OK without entering a field hands every value back as it was.
    QCOMPARE(Describe(MonitorSettings), Describe(settings));
    QVERIFY(platform::Application::Messages().isEmpty());
}

void TestOptionCommand::handsBack_data()
{
    QTest::addColumn<TMonitorSettings>("before");
    QTest::addColumn<Action>("act");
    QTest::addColumn<TMonitorSettings>("after");
    QTest::addColumn<bool>("timerActive");
    QTest::addColumn<int>("interval");

    const auto click = [](auto member) {
        return [member](TOptionDlg &dialog) { QTest::mouseClick(dialog.*member, Qt::LeftButton); };
    };
    const auto steps = [](std::vector<Action> all) {
        return Action([all](TOptionDlg &dialog) {
            for (const Action &step : all)
                step(dialog);
        });
    };
    const auto retype = [](platform::TEdit *TOptionDlg::*field, const QString &text) {
        return Action([field, text](TOptionDlg &dialog) { Retype(dialog.*field, text); });
    };
    const auto enterIn = [](platform::TEdit *TOptionDlg::*field, const QString &text) {
        return Action([field, text](TOptionDlg &dialog) {
            Retype(dialog.*field, text);
            QTest::keyClick(dialog.*field, Qt::Key_Return);
        });
    };
    const Action restore = click(&TOptionDlg::Button1);
    const Action ok = click(&TOptionDlg::OKBtn);
    const Action cancel = click(&TOptionDlg::CancelBtn);
    const Action escape = [](TOptionDlg &) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); };
    const Action closeBox = [](TOptionDlg &dialog) { dialog.close(); };

    QTest::newRow("restore defaults, OK") << Custom << steps({restore, ok}) << TMonitorSettings{} << false << 600000;
    QTest::newRow("restore defaults, Cancel") << Custom << steps({restore, cancel}) << Custom << true << 1200000;
    QTest::newRow("changed, Esc") << Custom << steps({retype(&TOptionDlg::CountEdt, "9"), escape}) << Custom << true
                                  << 1200000;
    QTest::newRow("changed, close box") << Custom << steps({retype(&TOptionDlg::CountEdt, "9"), closeBox}) << Custom
                                        << true << 1200000;
    QTest::newRow("0 echoes") << TMonitorSettings{} << steps({retype(&TOptionDlg::CountEdt, "0"), ok})
                              << TMonitorSettings{0, 1000, 2000, 64, 255, 10, false, false} << false << 600000;
    QTest::newRow("every field and both boxes")
        << TMonitorSettings{}
        << steps({retype(&TOptionDlg::CountEdt, "3"), retype(&TOptionDlg::WaitEdt, "200"),
                  retype(&TOptionDlg::TOutEdt, "300"), retype(&TOptionDlg::PSizeEdt, "400"),
                  retype(&TOptionDlg::TTLEdt, "$10"), click(&TOptionDlg::AutoCBx), retype(&TOptionDlg::ATimeEdt, "5"),
                  click(&TOptionDlg::ExeCBx), ok})
        << TMonitorSettings{3, 200, 300, 400, 16, 5, true, true} << true << 300000;
    // A disabled interval field is still read.
    QTest::newRow("timed sweeps switched off")
        << Custom << steps({retype(&TOptionDlg::ATimeEdt, "7"), click(&TOptionDlg::AutoCBx), ok})
        << TMonitorSettings{5, 500, 700, 32, 64, 7, false, false} << false << 420000;
    // Enter skips the field's check: out-of-range values are stored as typed.
    QTest::newRow("TTL 500 and Enter") << TMonitorSettings{} << enterIn(&TOptionDlg::TTLEdt, "500")
                                       << TMonitorSettings{1, 1000, 2000, 64, 500, 10, false, false} << false << 600000;
    // 99999999 minutes overflow 32-bit milliseconds; the timer runs at its
    // longest interval instead.
    QTest::newRow("interval past the longest timer")
        << Custom << enterIn(&TOptionDlg::ATimeEdt, "99999999")
        << TMonitorSettings{5, 500, 700, 32, 64, 99999999, true, false} << true << INT_MAX;
    QTest::newRow("interval 0 switches timed sweeps off")
        << Custom << enterIn(&TOptionDlg::ATimeEdt, "0") << TMonitorSettings{5, 500, 700, 32, 64, 0, true, false}
        << false << 1200000;
}

void TestOptionCommand::handsBack()
{
    QFETCH(TMonitorSettings, before);
    QFETCH(Action, act);
    QFETCH(TMonitorSettings, after);
    QFETCH(bool, timerActive);
    QFETCH(int, interval);
    MonitorSettings = before;
    TMainForm form;
    RunCommand(form, act);
    QCOMPARE(Describe(MonitorSettings), Describe(after));
    QCOMPARE(form.pingTimer->isActive(), timerActive);
    QCOMPARE(form.pingTimer->interval(), interval);
    QVERIFY(platform::Application::Messages().isEmpty());
}

// OK hands over texts the fields never checked (Enter). The values convert
// in field order, each stored at once: a text that is no integer stops
// there, and the fields after it, both boxes and the timer stay as they were.
void TestOptionCommand::nonIntegerStopsAtItsField_data()
{
    QTest::addColumn<int>("field"); // position in the order of conversion
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const char *names[] = {"CountEdt", "WaitEdt", "TOutEdt", "PSizeEdt", "TTLEdt", "ATimeEdt"};
    for (int field = 0; field < 6; ++field)
        QTest::addRow("abc in %s", names[field]) << field << "abc"
                                                 << "error: 'abc' は整数ではありません.";
    QTest::newRow("emptied") << 0 << ""
                             << "error: '' は整数ではありません.";
    QTest::newRow("trailing space") << 0 << "7 "
                                    << "error: '7 ' は整数ではありません.";
    QTest::newRow("beyond code page 932") << 0 << "7😀"
                                          << "error: '7😀' は整数ではありません.";
    // The encoder would drop the lone surrogate and store 7.
    QTest::newRow("lone surrogate") << 0 << QString("7") + QChar(0xD800) << "error: '7?' は整数ではありません.";
}

void TestOptionCommand::nonIntegerStopsAtItsField()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    MonitorSettings = Custom;
    TMainForm form;
    const QStringList typed{"6", "600", "800", "48", "128", "30"};
    RunCommand(form, [&](TOptionDlg &dialog) {
        const QList<platform::TEdit *> fields = NumericFields(dialog);
        for (int other = 0; other < 6; ++other)
            Retype(fields[other], typed[other]);
        QTest::mouseClick(dialog.ExeCBx, Qt::LeftButton);
        Retype(fields[field], text);
        QTest::keyClick(fields[field], Qt::Key_Return);
    });

    const TMonitorSettings stored{6, 600, 800, 48, 128, 30, false, true};
    TMonitorSettings expected = Custom;
    int32_t TMonitorSettings::*const order[] = {&TMonitorSettings::pingCount,   &TMonitorSettings::pingWait,
                                                &TMonitorSettings::pingTimeOut, &TMonitorSettings::pingSize,
                                                &TMonitorSettings::pingTTL,     &TMonitorSettings::AutoTime};
    for (int before = 0; before < field; ++before)
        expected.*order[before] = stored.*order[before];
    QCOMPARE(Describe(MonitorSettings), Describe(expected));
    QCOMPARE(platform::Application::Messages(), QStringList{message});
    QVERIFY(form.pingTimer->isActive());
    QCOMPARE(form.pingTimer->interval(), 1200000);
}

// The main window goes on under the dialog: a timed sweep starts with the
// settings from before, and OK during that sweep starts no other.
void TestOptionCommand::timedSweepWhileOpen()
{
    ScriptedPlatform platform;
    platform.Hold();
    MonitorSettings = Custom;
    TMainForm form;
    form.MainViewSGrid->SetRowCount(3);
    form.MainViewSGrid->SetCell(3, 1, "10.0.0.1");
    RunCommand(form, [&](TOptionDlg &dialog) {
        Retype(dialog.TTLEdt, "99");
        // A tick now rather than in 20 minutes.
        form.pingTimer->start(1);
        QTRY_COMPARE(platform.Sends().size(), size_t{1});
        QCOMPARE(QApplication::activeModalWidget(), &dialog);
        QVERIFY(!form.RetrieveBtn->isEnabled());
        QTest::mouseClick(dialog.OKBtn, Qt::LeftButton);
    });
    QCOMPARE(MonitorSettings.pingTTL, 99);
    QVERIFY(form.pingTimer->isActive());
    QCOMPARE(form.pingTimer->interval(), 1200000);
    QCOMPARE(form.PendingCount, 1);
    platform.Release();
    QTRY_VERIFY(form.RetrieveBtn->isEnabled());
    // One sweep, all of its echoes with the TTL it started with.
    QCOMPARE(platform.Startups(), 1);
    QCOMPARE(platform.Sends().size(), size_t{5});
    for (const ScriptedPlatform::Send &send : platform.Sends())
        QCOMPARE(send.Ttl, 64);
}

QTEST_MAIN(TestOptionCommand)
#include "tst_optioncommand.moc"
