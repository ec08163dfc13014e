#pragma once

#include "platform/StringGrid.h"

#include <QWidget>
#include <array>
#include <cstdint>
#include <deque>
#include <set>
#include <string>
#include <vector>

class QFrame;
class QLabel;
class QPushButton;
class QTimer;
class QToolButton;
class TPingThread;
class TPqICMP;
class TSweepMailbox;

// The most host rows the table holds.
constexpr int MaxHosts = 256;

// The main window: the host table, its command buttons and the sweep timer.
class TMainForm : public QWidget {
    Q_OBJECT

public:
    explicit TMainForm(QWidget *AOwner = nullptr);
    ~TMainForm() override;

    QFrame *Panel1;
    QToolButton *AddHostBtn;
    QToolButton *DelHostBtn;
    QToolButton *OptionBtn;
    platform::TStringGrid *MainViewSGrid;
    QToolButton *ModHostBtn;
    QToolButton *ExitBtn;
    QPushButton *RetrieveBtn;
    QLabel *Label1;
    QLabel *Label2;
    QTimer *pingTimer;

    int32_t PendingCount = 0;
    std::array<int32_t, MaxHosts> AttemptCount{};
    std::array<int32_t, MaxHosts> FailureCount{};
    int32_t SelectedRow = 0;
    std::array<TPqICMP *, MaxHosts> RowPinger{};

    void FormCreate(QObject *Sender);
    void FormResize(QObject *Sender);
    void FormClose(QObject *Sender);
    void ExitBtnClick(QObject *Sender);
    void RetrieveBtnClick(QObject *Sender);
    void pingTimerTimer(QObject *Sender);
    void MainViewSGridDrawCell(QObject *Sender, int ACol, int ARow, const QRect &Rect, platform::TGridDrawState State);
    void AddHostBtnClick(QObject *Sender);
    void ModHostBtnClick(QObject *Sender);
    void DelHostBtnClick(QObject *Sender);
    void MainViewSGridSelectCell(QObject *Sender, int ACol, int ARow, bool &CanSelect);
    void OptionBtnClick(QObject *Sender);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void BuildComponents();
    void LayOutComponents();
    void FitFillerColumn();
    void ProgramTimer();
    void SortHostRows(platform::TStringGrid *Grid, int32_t Column);
    void LoadControlFile();
    void SaveControlFile();
    void StartSweep();
    void PingReply(QObject *Sender, int32_t Status, const std::string &IPAddress, int32_t RTT, uint8_t TTL);
    void PingThreadDone(TPingThread *Sender);
    void StopWorkers();
    void StartWorkers();
    bool IsHostRow(int row) const;
    void AddHostRow(const std::string &host, const std::string &note);
    void SwapRowState(int first, int second);
    void MoveRowState(int from, int to);
    void ClearRowState(int row);
    void RetireRowState(int row);

    TSweepMailbox *Mailbox;
    // Workers started and not yet done; UI thread only.
    std::set<TPingThread *> Workers;
    // Workers of this sweep not yet started; they start a batch at a time.
    std::deque<TPingThread *> Unstarted;
    // Components of deleted rows, released when the next sweep starts.
    std::vector<TPqICMP *> RetiredPingers;
    bool Placed = false;
};

// The main window, once the application has created it.
extern TMainForm *MainForm;
