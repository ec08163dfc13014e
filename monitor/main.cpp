#include "monitor/main.h"

#include "dialogs/DialogFont.h"
#include "monitor/MonitorSettings.h"
#include "monitor/SweepMailbox.h"
#include "platform/Application.h"
#include "platform/Cp932.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

TMainForm *MainForm = nullptr;

namespace {

constexpr int PanelWidth = 66;

QToolButton *SpeedButton(QWidget *panel, const QString &caption, int top)
{
    auto *button = new QToolButton(panel);
    button->setText(caption);
    button->setGeometry(8, top, 49, 25);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QLabel *HiddenLabel(QWidget *panel, const QString &caption, int top)
{
    auto *label = new QLabel(caption, panel);
    label->setGeometry(0, top, 33, 12);
    label->hide();
    return label;
}

} // namespace

TMainForm::TMainForm(QWidget *AOwner) : QWidget(AOwner)
{
    if (!MainForm)
        MainForm = this;
    BuildComponents();
    try {
        FormCreate(this);
    } catch (const std::exception &error) {
        platform::Application::ShowException(error);
    }
}

TMainForm::~TMainForm()
{
    StopWorkers();
    if (MainForm == this)
        MainForm = nullptr;
}

void TMainForm::BuildComponents()
{
    setWindowTitle(QStringLiteral("Quorvel　V0.99a"));
    setFont(JapaneseFont(12));
    resize(450, 274);

    Panel1 = new QFrame(this);
    Panel1->setFrameShape(QFrame::NoFrame);
    AddHostBtn = SpeedButton(Panel1, QStringLiteral("追加"), 64);
    DelHostBtn = SpeedButton(Panel1, QStringLiteral("削除"), 128);
    OptionBtn = SpeedButton(Panel1, QStringLiteral("設定"), 176);
    MainViewSGrid = new platform::TStringGrid(this);
    MainViewSGrid->SetColCount(3);
    MainViewSGrid->SetRowCount(2);
    ModHostBtn = SpeedButton(Panel1, QStringLiteral("変更"), 96);
    ExitBtn = SpeedButton(Panel1, QStringLiteral("終了"), 216);
    RetrieveBtn = new QPushButton(QStringLiteral("再読込"), Panel1);
    RetrieveBtn->setGeometry(8, 8, 49, 25);
    Label1 = HiddenLabel(Panel1, QStringLiteral("Label1"), 32);
    Label2 = HiddenLabel(Panel1, QStringLiteral("Label2"), 48);
    pingTimer = new QTimer(this);
    Mailbox = new TSweepMailbox(this);

    ModHostBtn->setEnabled(false);
    DelHostBtn->setEnabled(false);
    setTabOrder(RetrieveBtn, MainViewSGrid);
    RetrieveBtn->setFocus();

    connect(RetrieveBtn, &QPushButton::clicked, this, platform::Guarded([this] { RetrieveBtnClick(RetrieveBtn); }));
    connect(ExitBtn, &QToolButton::clicked, this, platform::Guarded([this] { ExitBtnClick(ExitBtn); }));
    connect(OptionBtn, &QToolButton::clicked, this, platform::Guarded([this] { OptionBtnClick(OptionBtn); }));
    connect(pingTimer, &QTimer::timeout, this, platform::Guarded([this] { pingTimerTimer(pingTimer); }));
    connect(AddHostBtn, &QToolButton::clicked, this, platform::Guarded([this] { AddHostBtnClick(AddHostBtn); }));
    connect(ModHostBtn, &QToolButton::clicked, this, platform::Guarded([this] { ModHostBtnClick(ModHostBtn); }));
    connect(DelHostBtn, &QToolButton::clicked, this, platform::Guarded([this] { DelHostBtnClick(DelHostBtn); }));
    MainViewSGrid->OnSelectCell = [this](QObject *Sender, int ACol, int ARow, bool &CanSelect) {
        MainViewSGridSelectCell(Sender, ACol, ARow, CanSelect);
    };
    MainViewSGrid->OnDrawCell = [this](QObject *Sender, int ACol, int ARow, const QRect &Rect,
                                       platform::TGridDrawState State) {
        MainViewSGridDrawCell(Sender, ACol, ARow, Rect, State);
    };
    LayOutComponents();
}

// The panel keeps to the right edge at full height; the grid takes the rest.
void TMainForm::LayOutComponents()
{
    Panel1->setGeometry(width() - PanelWidth, 0, PanelWidth, height());
    MainViewSGrid->setGeometry(0, 0, std::max(0, width() - PanelWidth), height());
}

void TMainForm::FormCreate(QObject *)
{
    MainViewSGrid->SetColCount(6);
    const char *headers[] = {"成功", "回数", "メッセージ", "ホスト", "備　考"};
    for (int column = 0; column < 5; ++column)
        MainViewSGrid->SetCell(column, 0, platform::ToCp932(QString::fromUtf8(headers[column])));
    MainViewSGrid->AddOption(platform::TGridOption::RowSelect);
    MainViewSGrid->AddOption(platform::TGridOption::ColSizing);
    MainViewSGrid->RemoveOption(platform::TGridOption::VertLine);
    MainViewSGrid->RemoveOption(platform::TGridOption::HorzLine);
    MainViewSGrid->RemoveOption(platform::TGridOption::RangeSelect);
    LoadControlFile();
    FitFillerColumn();
    ProgramTimer();
    if (MonitorSettings.Exec)
        StartSweep();
}

void TMainForm::FormResize(QObject *) { FitFillerColumn(); }

void TMainForm::ExitBtnClick(QObject *) { MainForm->close(); }

void TMainForm::FitFillerColumn()
{
    // A hidden window gets no resize event, so lay out from its size now.
    LayOutComponents();
    int sum = 0;
    for (int column = 0; column <= 4; ++column)
        sum += MainViewSGrid->ColWidth(column);
    if (sum < MainViewSGrid->width())
        MainViewSGrid->SetColWidth(5, MainViewSGrid->width() - sum);
}

void TMainForm::ProgramTimer()
{
    const auto interval = TimerIntervalOf(MonitorSettings.AutoTime);
    pingTimer->stop();
    if (interval)
        pingTimer->setInterval(*interval);
    if (interval && MonitorSettings.AutoExec)
        pingTimer->start();
}

void TMainForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    LayOutComponents();
    FormResize(this);
}

void TMainForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (Placed)
        return;
    Placed = true;
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - frameGeometry().center() + pos());
}
