// Adding, modifying, deleting and selecting host rows; rows stay sorted.
#include "monitor/main.h"

#include "dialogs/hostadd.h"
#include "dialogs/info.h"
#include "echo/PqICMP.h"
#include "monitor/HostOrder.h"
#include "platform/Application.h"
#include "platform/Cp932.h"
#include "platform/IntegerConversion.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

const QString NoHostName = QStringLiteral("ホストを登録するにはホスト名またはIPアドレスを入力して下さい");
const QString Unstorable = QStringLiteral("ホスト名または備考に、保存できない文字が含まれています。");

enum class HostEntry { Accepted, Cancelled, Refused };

// Shows the host dialog and reads what it gives: a host name that is empty,
// or holds a character the control file cannot store, is refused with a
// message and changes nothing.
HostEntry AskHost(THostAddDlg &dialog, std::string &host, std::string &note)
{
    if (platform::Application::ShowModal(dialog) != TModalDialog::mrOk)
        return HostEntry::Cancelled;
    const QString hostText = dialog.HostNameEdit->text();
    const QString noteText = dialog.NoteEdit->text();
    if (hostText.isEmpty()) {
        platform::Application::ShowMessage(NoHostName);
        return HostEntry::Refused;
    }
    if (!platform::Cp932CanHold(hostText) || !platform::Cp932CanHold(noteText)) {
        platform::Application::ShowMessage(Unstorable);
        return HostEntry::Refused;
    }
    host = platform::ToCp932(hostText);
    note = platform::ToCp932(noteText);
    return HostEntry::Accepted;
}

void SetUpInformation(TInfoDlg &dialog, const QString &message, bool withCancel)
{
    dialog.setWindowTitle(QStringLiteral("インフォメーション"));
    dialog.CancelBtn->setVisible(withCancel);
    dialog.OKBtn->move(withCancel ? 79 : 120, dialog.OKBtn->y());
    dialog.Label1->hide();
    dialog.Label2->setText(message);
}

} // namespace

bool TMainForm::IsHostRow(int row) const { return row >= 1 && row <= MainViewSGrid->RowCount() - 2 && row <= MaxHosts; }

void TMainForm::AddHostBtnClick(QObject *)
{
    if (MainViewSGrid->RowCount() >= MaxHosts + 2) {
        TInfoDlg dialog;
        SetUpInformation(dialog,
                         QStringLiteral("ホストの登録数は ") + QString::fromStdString(platform::IntToStr(MaxHosts)) +
                             QStringLiteral("件までです。"),
                         false);
        platform::Application::ShowModal(dialog);
        return;
    }
    {
        THostAddDlg dialog;
        std::string host, note;
        if (AskHost(dialog, host, note) == HostEntry::Accepted)
            AddHostRow(host, note);
    }
    SortHostRows(MainViewSGrid, 3);
}

// Appends a host row above the blank row; its slot starts empty.
void TMainForm::AddHostRow(const std::string &host, const std::string &note)
{
    MainViewSGrid->SetRowCount(MainViewSGrid->RowCount() + 1);
    const int row = MainViewSGrid->RowCount() - 2;
    ClearRowState(row);
    MainViewSGrid->SetCell(3, row, host);
    MainViewSGrid->SetCell(4, row, note);
}

void TMainForm::ModHostBtnClick(QObject *)
{
    {
        THostAddDlg dialog;
        dialog.HostNameEdit->setText(platform::FromCp932(MainViewSGrid->Cell(3, SelectedRow)));
        dialog.NoteEdit->setText(platform::FromCp932(MainViewSGrid->Cell(4, SelectedRow)));
        std::string host, note;
        // A sweep may have moved or removed rows while the dialog was open.
        if (AskHost(dialog, host, note) == HostEntry::Accepted && IsHostRow(SelectedRow)) {
            MainViewSGrid->SetCell(3, SelectedRow, host);
            MainViewSGrid->SetCell(4, SelectedRow, note);
        }
    }
    DelHostBtn->setEnabled(false);
    ModHostBtn->setEnabled(false);
    SortHostRows(MainViewSGrid, 3);
}

void TMainForm::DelHostBtnClick(QObject *)
{
    {
        TInfoDlg dialog;
        SetUpInformation(dialog,
                         platform::FromCp932(MainViewSGrid->Cell(3, SelectedRow)) +
                             QStringLiteral("を削除してもいいですか？"),
                         true);
        if (platform::Application::ShowModal(dialog) == TModalDialog::mrOk && IsHostRow(SelectedRow)) {
            RetireRowState(SelectedRow);
            const int last = MainViewSGrid->RowCount() - 2;
            for (int row = SelectedRow; row <= last; ++row) {
                MainViewSGrid->SetRows(row, MainViewSGrid->Rows(row + 1));
                if (row < last)
                    MoveRowState(row + 1, row);
            }
            ClearRowState(last);
            MainViewSGrid->SetRowCount(MainViewSGrid->RowCount() - 1);
            DelHostBtn->setEnabled(false);
            ModHostBtn->setEnabled(false);
        }
    }
    SortHostRows(MainViewSGrid, 3);
}

void TMainForm::MainViewSGridSelectCell(QObject *, int ACol, int ARow, bool &CanSelect)
{
    if (MainViewSGrid->Cell(ACol, ARow).empty()) {
        CanSelect = false;
        return;
    }
    DelHostBtn->setEnabled(true);
    ModHostBtn->setEnabled(true);
    SelectedRow = ARow;
}

void TMainForm::SortHostRows(platform::TStringGrid *Grid, int32_t Column)
{
    if (Column < 0 || Column >= Grid->ColCount())
        return;
    const int first = Grid->FixedRows();
    const int last = Grid->RowCount() - 2;
    for (int i = first; i < last; ++i)
        for (int j = i + 1; j <= last; ++j)
            if (HostTextGreater(Grid->Cell(Column, i), Grid->Cell(Column, j))) {
                const auto row = Grid->Rows(i);
                Grid->SetRows(i, Grid->Rows(j));
                Grid->SetRows(j, row);
                if (Grid == MainViewSGrid)
                    SwapRowState(i, j);
            }
}

// The per-row state follows its row, so a running sweep's reports land with
// their host.
void TMainForm::SwapRowState(int first, int second)
{
    if (!IsHostRow(first) || !IsHostRow(second))
        return;
    std::swap(AttemptCount[first - 1], AttemptCount[second - 1]);
    std::swap(FailureCount[first - 1], FailureCount[second - 1]);
    std::swap(RowPinger[first - 1], RowPinger[second - 1]);
}

void TMainForm::MoveRowState(int from, int to)
{
    AttemptCount[to - 1] = AttemptCount[from - 1];
    FailureCount[to - 1] = FailureCount[from - 1];
    RowPinger[to - 1] = RowPinger[from - 1];
}

void TMainForm::ClearRowState(int row)
{
    if (row < 1 || row > MaxHosts)
        return;
    AttemptCount[row - 1] = 0;
    FailureCount[row - 1] = 0;
    RowPinger[row - 1] = nullptr;
}

// A deleted row's component may still be running; it is released with the
// next sweep, once every worker has ended.
void TMainForm::RetireRowState(int row)
{
    if (RowPinger[row - 1])
        RetiredPingers.push_back(RowPinger[row - 1]);
    ClearRowState(row);
}
