// The options dialog on its own: layout, the checks on leaving a field,
// restoring the defaults and the ways it closes.
#include "dialogs/option.h"
#include "platform/Application.h"
#include "platform/Cp932.h"
#include "platform/Edit.h"
#include "tests/support/EditTyping.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {

// The dialog shown with the default texts, ATimeEdt enabled and the focus
// where it opens.
bool Open(TOptionDlg &dialog)
{
    dialog.Button1->click();
    dialog.AutoCBx->click();
    dialog.show();
    return QTest::qWaitForWindowActive(&dialog);
}

platform::TEdit *Field(TOptionDlg &dialog, const QString &name) { return dialog.findChild<platform::TEdit *>(name); }

const QString NotInteger = QStringLiteral("入力されたデータは整数ではありません");

// The full-width tilde between the bounds.
QString RangeMessage(int lo, int hi) { return QStringLiteral("%1\uFF5E%2の整数を入力して下さい").arg(lo).arg(hi); }

// Answers every real message box with OK, keeping what each one said.
class BoxAnswerer : public QObject {
public:
    BoxAnswerer() { qApp->installEventFilter(this); }

    QStringList Texts;
    QStringList Captions;
    QList<QMessageBox::Icon> Icons;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *box = qobject_cast<QMessageBox *>(watched);
        if (box && event->type() == QEvent::Show) {
            Texts << box->text();
            Captions << box->windowTitle();
            Icons << box->icon();
            QTimer::singleShot(0, box, [box] { box->button(QMessageBox::Ok)->click(); });
        }
        return false;
    }
};

// A window manager hands the activation back to the dialog when a message
// box over it closes; the offscreen platform has none.
void ReturnActivation(QDialog &dialog)
{
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
}

} // namespace

class TestOptionDialog : public QObject {
    Q_OBJECT

private slots:
    void init() { platform::Application::StartRecording(); }
    void cleanup() { platform::Application::StopRecording(); }

    void layout_data();
    void layout();
    void formAndFonts();
    void titlesInterruptTheirFrames();
    void tabOrderFromOk();
    void leavingField_data();
    void leavingField();
    void leavingByClick_data();
    void leavingByClick();
    void checkedOnce_data();
    void checkedOnce();
    void noCheckWhenWindowLosesActivation();
    void closing_data();
    void closing();
    void restoreDefaults();
    void autoBoxEnablesIntervalField();
};

void TestOptionDialog::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry"); // labels: position only, sized to their text
    QTest::addColumn<QString>("text");

    const auto row = [](const char *name, QRect geometry, const QString &text) {
        QTest::newRow(name) << QString(name) << geometry << text;
    };
    row("Bevel1", {24, 24, 217, 185}, "");
    row("Label1", {88, 16, 0, 0}, "ping オプション");
    row("Label2", {40, 48, 0, 0}, "ping 回数");
    row("Label3", {40, 80, 0, 0}, "実行間隔 (msec)");
    row("Label4", {40, 112, 0, 0}, "タイムアウト (msec)");
    row("Label5", {40, 144, 0, 0}, "パケットサイズ (byte)");
    row("Label6", {40, 176, 0, 0}, "Time To Live");
    row("CountEdt", {160, 44, 57, 20}, "");
    row("WaitEdt", {160, 76, 57, 20}, "");
    row("TOutEdt", {160, 108, 57, 20}, "");
    row("PSizeEdt", {160, 140, 57, 20}, "");
    row("TTLEdt", {160, 172, 57, 20}, "");
    row("Bevel2", {264, 24, 217, 89}, "");
    row("Label7", {328, 16, 0, 0}, "実行オプション");
    row("AutoCBx", {280, 48, 97, 17}, "自動実行する");
    row("ATimeEdt", {392, 46, 33, 20}, "");
    row("Label8", {432, 50, 0, 0}, "分毎");
    row("ExeCBx", {280, 80, 129, 17}, "立ち上げ時実行する");
    row("OKBtn", {167, 224, 75, 25}, "OK");
    row("CancelBtn", {255, 224, 75, 25}, "ｷｬﾝｾﾙ");
    row("Button1", {392, 224, 105, 25}, "デフォルトに戻す");
}

void TestOptionDialog::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    TOptionDlg dialog;
    auto *widget = dialog.findChild<QWidget *>(name);
    QVERIFY(widget);
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        QCOMPARE(label->pos(), geometry.topLeft());
        QCOMPARE(label->size(), label->sizeHint());
        QCOMPARE(label->text(), text);
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        return;
    }
    QCOMPARE(widget->geometry(), geometry);
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        QCOMPARE(button->text(), text);
    if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
        QCOMPARE(edit->text(), QString());
        QCOMPARE(edit->maxLength(), 32767);
        QVERIFY(!edit->validator());
    }
    if (auto *bevel = qobject_cast<QFrame *>(widget)) {
        QCOMPARE(bevel->frameShape(), QFrame::Box);
        QCOMPARE(bevel->frameShadow(), QFrame::Sunken);
    }
}

void TestOptionDialog::formAndFonts()
{
    TOptionDlg dialog;
    QCOMPARE(dialog.windowTitle(), QString("オプション"));
    QCOMPARE(dialog.size(), QSize(512, 256));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(!(dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(dialog.OKBtn->isDefault());
    QCOMPARE(platform::ToCp932(dialog.CancelBtn->text()), std::string("\xB7\xAC\xDD\xBE\xD9"));

    for (QLabel *label : {dialog.Label2, dialog.Label3, dialog.Label4, dialog.Label5, dialog.Label6, dialog.Label8}) {
        QCOMPARE(label->font().families().mid(0, 2), (QStringList{"ＭＳ Ｐゴシック", "IPAPGothic"}));
        QCOMPARE(label->font().pixelSize(), 12);
        QCOMPARE(label->foregroundRole(), QPalette::WindowText);
    }
    // The design font is missing here; the metric twin stands in.
    QCOMPARE(QFontInfo(dialog.Label2->font()).family(), QString("IPAPGothic"));
    QCOMPARE(QFontInfo(dialog.OKBtn->font()).family(), QString("IPAPGothic"));

    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(dialog.frameGeometry().center(), dialog.screen()->availableGeometry().center());
    QCOMPARE(QApplication::focusWidget(), dialog.OKBtn);
}

// The group titles sit across the top line of their frames and hide it
// behind their text.
void TestOptionDialog::titlesInterruptTheirFrames()
{
    TOptionDlg dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QImage pixels = dialog.grab().toImage();
    const QColor background = dialog.palette().color(QPalette::Window);
    for (const auto &[title, bevel] :
         {std::pair{dialog.Label1, dialog.Bevel1}, std::pair{dialog.Label7, dialog.Bevel2}}) {
        const int edge = bevel->y();
        QVERIFY(title->y() < edge && edge < title->geometry().bottom());
        QCOMPARE(pixels.pixelColor(title->geometry().center().x(), edge), background);
        QVERIFY(pixels.pixelColor(bevel->x() + 4, edge) != background);
    }
}

void TestOptionDialog::tabOrderFromOk()
{
    TOptionDlg dialog;
    QVERIFY(Open(dialog));
    const QList<QWidget *> order{dialog.OKBtn,    dialog.CancelBtn, dialog.CountEdt, dialog.WaitEdt,
                                 dialog.TOutEdt,  dialog.PSizeEdt,  dialog.TTLEdt,   dialog.AutoCBx,
                                 dialog.ATimeEdt, dialog.ExeCBx,    dialog.Button1,  dialog.OKBtn};
    dialog.OKBtn->setFocus();
    for (qsizetype step = 1; step < order.size(); ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), order[step]);
    }
    // Default texts pass every check on the way round.
    QVERIFY(platform::Application::Messages().isEmpty());
}

void TestOptionDialog::leavingField_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");   // empty: the text is deleted
    QTest::addColumn<QString>("message"); // empty: accepted

    const struct {
        const char *Name;
        int Lo;
        int Hi;
    } ranges[] = {{"CountEdt", 0, 99},    {"WaitEdt", 100, 99999}, {"TOutEdt", 1, 99999},
                  {"PSizeEdt", 1, 10240}, {"TTLEdt", 1, 255},      {"ATimeEdt", 1, 1440}};
    for (const auto &range : ranges) {
        const QString name(range.Name);
        const QString refused = RangeMessage(range.Lo, range.Hi);
        QTest::addRow("%s below", range.Name) << name << QString::number(range.Lo - 1) << refused;
        QTest::addRow("%s lowest", range.Name) << name << QString::number(range.Lo) << QString();
        QTest::addRow("%s highest", range.Name) << name << QString::number(range.Hi) << QString();
        QTest::addRow("%s above", range.Name) << name << QString::number(range.Hi + 1) << refused;
        QTest::addRow("%s emptied", range.Name) << name << QString() << NotInteger;
        QTest::addRow("%s letters", range.Name) << name << QString("abc") << NotInteger;
    }
    QTest::newRow("leading space") << "CountEdt"
                                   << " 7" << QString();
    QTest::newRow("trailing space") << "CountEdt"
                                    << "7 " << NotInteger;
    QTest::newRow("hexadecimal") << "TTLEdt"
                                 << "$FF" << QString();
    QTest::newRow("hexadecimal out of range") << "TTLEdt"
                                              << "0x100" << RangeMessage(1, 255);
    QTest::newRow("past 32 bits") << "WaitEdt"
                                  << "2147483648" << NotInteger;
    QTest::newRow("negative past 32 bits") << "CountEdt"
                                           << "-2147483649" << NotInteger;
    QTest::newRow("full-width digits") << "CountEdt"
                                       << "１２" << NotInteger;
    QTest::newRow("beyond code page 932") << "CountEdt"
                                          << "7😀" << NotInteger;
    // The encoder drops a lone surrogate: "7" would pass for an integer.
    QTest::newRow("lone surrogate") << "CountEdt" << QString("7") + QChar(0xD800) << NotInteger;
}

void TestOptionDialog::leavingField()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    TOptionDlg dialog;
    QVERIFY(Open(dialog));
    platform::TEdit *edit = Field(dialog, field);
    const QString before = edit->text();
    Retype(edit, typed);
    QCOMPARE(edit->text(), typed);

    QTest::keyClick(edit, Qt::Key_Tab);
    if (message.isEmpty()) {
        QVERIFY(platform::Application::Messages().isEmpty());
        QCOMPARE(edit->text(), typed);
        QVERIFY(QApplication::focusWidget() != edit);
        QCOMPARE(QApplication::focusWidget()->window(), &dialog);
    } else {
        QCOMPARE(platform::Application::Messages(), QStringList{"message: " + message});
        QCOMPARE(edit->text(), before);
        QCOMPARE(QApplication::focusWidget(), edit);
    }
}

// A click on another control leaves the field too. When the field refuses
// its text, the click does nothing more: OK and Cancel do not close, the
// box does not change, the other field does not take the focus.
void TestOptionDialog::leavingByClick_data()
{
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("refused");
    for (const char *clicked : {"OKBtn", "CancelBtn", "AutoCBx", "WaitEdt", "Button1"}) {
        QTest::addRow("%s, refused", clicked) << clicked << "100" << true;
        QTest::addRow("%s, accepted", clicked) << clicked << "50" << false;
    }
}

void TestOptionDialog::leavingByClick()
{
    QFETCH(QString, clicked);
    QFETCH(QString, typed);
    QFETCH(bool, refused);
    TOptionDlg dialog;
    QVERIFY(Open(dialog));
    Retype(dialog.CountEdt, typed);
    auto *target = dialog.findChild<QWidget *>(clicked);
    QTest::mouseClick(target, Qt::LeftButton);

    if (refused) {
        QCOMPARE(platform::Application::Messages(), QStringList{"message: " + RangeMessage(0, 99)});
        QCOMPARE(dialog.CountEdt->text(), QString("1"));
        QCOMPARE(QApplication::focusWidget(), dialog.CountEdt);
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.AutoCBx->isChecked());
        QVERIFY(dialog.ATimeEdt->isEnabled());
        return;
    }
    QVERIFY(platform::Application::Messages().isEmpty());
    QCOMPARE(dialog.CountEdt->text(), clicked == "Button1" ? QString("1") : typed);
    if (clicked == "OKBtn" || clicked == "CancelBtn") {
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), clicked == "OKBtn" ? 1 : 2);
    } else {
        QCOMPARE(QApplication::focusWidget(), target);
        QCOMPARE(dialog.AutoCBx->isChecked(), clicked == "WaitEdt");
    }
}

// The focus passes through the next field on its way back: that field was
// never entered, so its check does not run, even with a text it would
// refuse. A real message box also takes the activation away and back.
void TestOptionDialog::checkedOnce_data()
{
    QTest::addColumn<bool>("realBoxes");
    QTest::newRow("recorded messages") << false;
    QTest::newRow("real message boxes") << true;
}

void TestOptionDialog::checkedOnce()
{
    QFETCH(bool, realBoxes);
    if (realBoxes)
        platform::Application::StopRecording();
    BoxAnswerer boxes;
    const auto shown = [&] {
        QStringList texts = boxes.Texts;
        for (const QString &message : platform::Application::Messages())
            texts << message.mid(QString("message: ").size());
        return texts;
    };
    TOptionDlg dialog;
    QVERIFY(Open(dialog));
    dialog.WaitEdt->setText("50");
    Retype(dialog.CountEdt, "100");
    QTest::keyClick(dialog.CountEdt, Qt::Key_Tab);
    QCOMPARE(shown(), QStringList{RangeMessage(0, 99)});
    // U+FF5E is 0x81 0x60 in code page 932.
    QCOMPARE(platform::ToCp932(shown()[0]).substr(0, 5), std::string("0\x81\x60"
                                                                     "99"));
    if (realBoxes) {
        QCOMPARE(boxes.Captions, QStringList{"Quorvel V0.99"});
        QCOMPARE(boxes.Icons, QList<QMessageBox::Icon>{QMessageBox::Information});
        ReturnActivation(dialog);
    }
    QCOMPARE(QApplication::focusWidget(), dialog.CountEdt);
    QCOMPARE(dialog.CountEdt->text(), QString("1"));
    QCOMPARE(shown().size(), 1);

    // The dialog works on as before: the next field is checked when left.
    QTest::keyClick(dialog.CountEdt, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), dialog.WaitEdt);
    QTest::keyClick(dialog.WaitEdt, Qt::Key_Tab);
    QCOMPARE(shown(), (QStringList{RangeMessage(0, 99), RangeMessage(100, 99999)}));
    if (realBoxes)
        ReturnActivation(dialog);
    QCOMPARE(QApplication::focusWidget(), dialog.WaitEdt);
}

void TestOptionDialog::noCheckWhenWindowLosesActivation()
{
    TOptionDlg dialog;
    QVERIFY(Open(dialog));
    Retype(dialog.CountEdt, "abc");
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(QApplication::focusWidget(), dialog.CountEdt);
    QVERIFY(platform::Application::Messages().isEmpty());
    QCOMPARE(dialog.CountEdt->text(), QString("abc"));

    QTest::keyClick(dialog.CountEdt, Qt::Key_Tab);
    QCOMPARE(platform::Application::Messages(), QStringList{"message: " + NotInteger});
}

// Closing never checks the field that has the focus.
void TestOptionDialog::closing_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("result");
    QTest::newRow("Enter") << "Enter" << 1;
    QTest::newRow("keypad Enter") << "keypad Enter" << 1;
    QTest::newRow("Esc") << "Esc" << 2;
    QTest::newRow("close box") << "close box" << 2;
}

void TestOptionDialog::closing()
{
    QFETCH(QString, how);
    QFETCH(int, result);
    TOptionDlg dialog;
    QVERIFY(Open(dialog));
    Retype(dialog.CountEdt, "abc");
    if (how == "Enter")
        QTest::keyClick(dialog.CountEdt, Qt::Key_Return);
    else if (how == "keypad Enter")
        QTest::keyClick(dialog.CountEdt, Qt::Key_Enter, Qt::KeypadModifier);
    else if (how == "Esc")
        QTest::keyClick(dialog.CountEdt, Qt::Key_Escape);
    else
        dialog.close();
    QTRY_VERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), result);
    QCOMPARE(dialog.CountEdt->text(), QString("abc"));
    QVERIFY(platform::Application::Messages().isEmpty());
}

void TestOptionDialog::restoreDefaults()
{
    TOptionDlg dialog;
    QVERIFY(Open(dialog));
    for (platform::TEdit *edit :
         {dialog.CountEdt, dialog.WaitEdt, dialog.TOutEdt, dialog.PSizeEdt, dialog.TTLEdt, dialog.ATimeEdt})
        edit->setText("77");
    dialog.ExeCBx->setChecked(true);

    QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    QCOMPARE(dialog.CountEdt->text(), QString("1"));
    QCOMPARE(dialog.WaitEdt->text(), QString("1000"));
    QCOMPARE(dialog.TOutEdt->text(), QString("2000"));
    QCOMPARE(dialog.PSizeEdt->text(), QString("64"));
    QCOMPARE(dialog.TTLEdt->text(), QString("255"));
    QCOMPARE(dialog.ATimeEdt->text(), QString("10"));
    QVERIFY(!dialog.AutoCBx->isChecked());
    QVERIFY(!dialog.ExeCBx->isChecked());
    QVERIFY(!dialog.ATimeEdt->isEnabled());
    QVERIFY(dialog.isVisible());
}

void TestOptionDialog::autoBoxEnablesIntervalField()
{
    TOptionDlg dialog;
    QVERIFY(Open(dialog));
    QVERIFY(dialog.ATimeEdt->isEnabled());
    QTest::mouseClick(dialog.AutoCBx, Qt::LeftButton);
    QVERIFY(!dialog.AutoCBx->isChecked());
    QVERIFY(!dialog.ATimeEdt->isEnabled());
    // Tab passes over the disabled field.
    QTest::keyClick(dialog.AutoCBx, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), dialog.ExeCBx);
    dialog.AutoCBx->setFocus();
    QTest::keyClick(dialog.AutoCBx, Qt::Key_Space);
    QVERIFY(dialog.AutoCBx->isChecked());
    QVERIFY(dialog.ATimeEdt->isEnabled());
}

QTEST_MAIN(TestOptionDialog)
#include "tst_optiondialog.moc"
