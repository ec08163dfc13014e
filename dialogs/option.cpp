#include "dialogs/option.h"

#include "dialogs/DialogFont.h"
#include "platform/Application.h"
#include "platform/Edit.h"
#include "platform/IntegerConversion.h"
#include "platform/TextToInt.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {

// Enter presses OK wherever the focus is, as in the other dialogs.
QPushButton *Button(QWidget *form, const char *name, const QString &caption, const QRect &geometry)
{
    auto *button = new QPushButton(caption, form);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

platform::TEdit *Edit(QWidget *form, const char *name, const QRect &geometry)
{
    auto *edit = new platform::TEdit(form);
    edit->setObjectName(name);
    edit->setGeometry(geometry);
    return edit;
}

QLabel *Label(QWidget *form, const char *name, const QString &caption, const QPoint &position)
{
    auto *label = new QLabel(caption, form);
    label->setObjectName(name);
    label->move(position);
    label->adjustSize();
    return label;
}

// A group's title stands on the top edge of its frame and hides the line
// behind its text.
QLabel *Title(QWidget *form, const char *name, const QString &caption, const QPoint &position)
{
    QLabel *label = Label(form, name, caption, position);
    label->setAutoFillBackground(true);
    return label;
}

QFrame *Bevel(QWidget *form, const char *name, const QRect &geometry)
{
    auto *bevel = new QFrame(form);
    bevel->setObjectName(name);
    bevel->setFrameShape(QFrame::Box);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(geometry);
    // A frame lies beneath the controls it surrounds, and a click inside it
    // reaches them.
    bevel->lower();
    bevel->setAttribute(Qt::WA_TransparentForMouseEvents);
    return bevel;
}

QCheckBox *CheckBox(QWidget *form, const char *name, const QString &caption, const QRect &geometry)
{
    auto *box = new QCheckBox(caption, form);
    box->setObjectName(name);
    box->setGeometry(geometry);
    return box;
}

} // namespace

TOptionDlg::TOptionDlg(QWidget *AOwner) : TModalDialog(QSize(512, 256), AOwner)
{
    setWindowTitle(QStringLiteral("オプション"));
    // The labels' font is the form's own: "ＭＳ Ｐゴシック", 12 pixels.
    setFont(JapaneseFont(12));

    OKBtn = AddButton(QStringLiteral("OK"), {167, 224, 75, 25}, mrOk);
    OKBtn->setObjectName("OKBtn");
    CancelBtn = AddButton(QStringLiteral("ｷｬﾝｾﾙ"), {255, 224, 75, 25}, mrCancel);
    CancelBtn->setObjectName("CancelBtn");
    CountEdt = Edit(this, "CountEdt", {160, 44, 57, 20});
    Label2 = Label(this, "Label2", QStringLiteral("ping 回数"), {40, 48});
    Label3 = Label(this, "Label3", QStringLiteral("実行間隔 (msec)"), {40, 80});
    Label4 = Label(this, "Label4", QStringLiteral("タイムアウト (msec)"), {40, 112});
    Label5 = Label(this, "Label5", QStringLiteral("パケットサイズ (byte)"), {40, 144});
    Label6 = Label(this, "Label6", QStringLiteral("Time To Live"), {40, 176});
    WaitEdt = Edit(this, "WaitEdt", {160, 76, 57, 20});
    TOutEdt = Edit(this, "TOutEdt", {160, 108, 57, 20});
    PSizeEdt = Edit(this, "PSizeEdt", {160, 140, 57, 20});
    TTLEdt = Edit(this, "TTLEdt", {160, 172, 57, 20});
    Bevel1 = Bevel(this, "Bevel1", {24, 24, 217, 185});
    Label1 = Title(this, "Label1", QStringLiteral("ping オプション"), {88, 16});
    Bevel2 = Bevel(this, "Bevel2", {264, 24, 217, 89});
    Label7 = Title(this, "Label7", QStringLiteral("実行オプション"), {328, 16});
    AutoCBx = CheckBox(this, "AutoCBx", QStringLiteral("自動実行する"), {280, 48, 97, 17});
    ATimeEdt = Edit(this, "ATimeEdt", {392, 46, 33, 20});
    Label8 = Label(this, "Label8", QStringLiteral("分毎"), {432, 50});
    ExeCBx = CheckBox(this, "ExeCBx", QStringLiteral("立ち上げ時実行する"), {280, 80, 129, 17});
    Button1 = Button(this, "Button1", QStringLiteral("デフォルトに戻す"), {392, 224, 105, 25});

    OKBtn->setDefault(true);
    setTabOrder(OKBtn, CancelBtn);
    setTabOrder(CancelBtn, CountEdt);
    setTabOrder(CountEdt, WaitEdt);
    setTabOrder(WaitEdt, TOutEdt);
    setTabOrder(TOutEdt, PSizeEdt);
    setTabOrder(PSizeEdt, TTLEdt);
    setTabOrder(TTLEdt, AutoCBx);
    setTabOrder(AutoCBx, ATimeEdt);
    setTabOrder(ATimeEdt, ExeCBx);
    setTabOrder(ExeCBx, Button1);
    OKBtn->setFocus();

    CountEdt->OnExit = platform::Guarded([this](QObject *Sender) { CountEdtExit(Sender); });
    WaitEdt->OnExit = platform::Guarded([this](QObject *Sender) { WaitEdtExit(Sender); });
    TOutEdt->OnExit = platform::Guarded([this](QObject *Sender) { TOutEdtExit(Sender); });
    PSizeEdt->OnExit = platform::Guarded([this](QObject *Sender) { PSizeEdtExit(Sender); });
    TTLEdt->OnExit = platform::Guarded([this](QObject *Sender) { TTLEdtExit(Sender); });
    ATimeEdt->OnExit = platform::Guarded([this](QObject *Sender) { ATimeEdtExit(Sender); });
    connect(Button1, &QPushButton::clicked, this, platform::Guarded([this] { Button1Click(Button1); }));
    connect(AutoCBx, &QCheckBox::clicked, this, platform::Guarded([this] { AutoCBxClick(AutoCBx); }));
    FormCreate(this);
}

void TOptionDlg::FormCreate(QObject *) {}

void TOptionDlg::CountEdtExit(QObject *)
{
    if (!RejectNonInteger(CountEdt))
        CheckRange(CountEdt, 0, 99);
}

void TOptionDlg::WaitEdtExit(QObject *)
{
    if (!RejectNonInteger(WaitEdt))
        CheckRange(WaitEdt, 100, 99999);
}

void TOptionDlg::TOutEdtExit(QObject *)
{
    if (!RejectNonInteger(TOutEdt))
        CheckRange(TOutEdt, 1, 99999);
}

void TOptionDlg::PSizeEdtExit(QObject *)
{
    if (!RejectNonInteger(PSizeEdt))
        CheckRange(PSizeEdt, 1, 10240);
}

void TOptionDlg::TTLEdtExit(QObject *)
{
    if (!RejectNonInteger(TTLEdt))
        CheckRange(TTLEdt, 1, 255);
}

void TOptionDlg::ATimeEdtExit(QObject *)
{
    if (!RejectNonInteger(ATimeEdt))
        CheckRange(ATimeEdt, 1, 1440);
}

void TOptionDlg::Button1Click(QObject *)
{
    ATimeEdt->setEnabled(false);
    CountEdt->setText(QStringLiteral("1"));
    WaitEdt->setText(QStringLiteral("1000"));
    TOutEdt->setText(QStringLiteral("2000"));
    PSizeEdt->setText(QStringLiteral("64"));
    TTLEdt->setText(QStringLiteral("255"));
    ATimeEdt->setText(QStringLiteral("10"));
    AutoCBx->setChecked(false);
    ExeCBx->setChecked(false);
}

void TOptionDlg::AutoCBxClick(QObject *) { ATimeEdt->setEnabled(AutoCBx->isChecked()); }

bool TOptionDlg::RejectNonInteger(QLineEdit *Edit)
{
    try {
        platform::TextToInt(Edit->text());
        return false;
    } catch (const platform::EConvertError &) {
        platform::Application::ShowMessage(QStringLiteral("入力されたデータは整数ではありません"));
        Edit->undo();
        Edit->setFocus();
        return true;
    } catch (...) {
        platform::Application::ShowMessage(QStringLiteral("予期せぬエラーが発生しました"));
        throw;
    }
}

void TOptionDlg::CheckRange(QLineEdit *Edit, int32_t Lo, int32_t Hi)
{
    const int32_t value = platform::TextToInt(Edit->text());
    if (Lo <= value && value <= Hi)
        return;
    // U+FF5E, the full-width tilde: 0x81 0x60 in code page 932.
    platform::Application::ShowMessage(QString::number(Lo) + QChar(0xFF5E) + QString::number(Hi) +
                                       QStringLiteral("の整数を入力して下さい"));
    Edit->undo();
    Edit->setFocus();
}
