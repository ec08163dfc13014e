// The sweep: every host row pinged at once, one worker per row.
#include "monitor/main.h"

#include "echo/PqICMP.h"
#include "monitor/MonitorSettings.h"
#include "monitor/SweepMailbox.h"
#include "monitor/pingthd.h"
#include "platform/IntegerConversion.h"
#include "platform/StopSignal.h"

#include <QPushButton>
#include <QToolButton>

void TMainForm::RetrieveBtnClick(QObject *) { StartSweep(); }

void TMainForm::pingTimerTimer(QObject *)
{
    if (RetrieveBtn->isEnabled())
        StartSweep();
}

void TMainForm::StartSweep()
{
    DelHostBtn->setEnabled(false);
    ModHostBtn->setEnabled(false);
    const int hosts = MainViewSGrid->RowCount() - 2;
    PendingCount = 0;
    if (hosts <= 0)
        return;
    RetrieveBtn->setEnabled(false);
    if (Workers.empty()) {
        qDeleteAll(RetiredPingers);
        RetiredPingers.clear();
    }

    try {
        for (int row = 1; row <= hosts && row <= MaxHosts; ++row) {
            MainViewSGrid->SetCell(2, row, "Ping!");
            AttemptCount[row - 1] = 0;
            FailureCount[row - 1] = 0;
            MainViewSGrid->SetCell(0, row, "0");
            MainViewSGrid->SetCell(1, row, "0");
            MainViewSGrid->RepaintRow(row);

            auto *pinger = new TPqICMP(this);
            // The previous sweep's component: its worker ended before this
            // sweep could start.
            delete RowPinger[row - 1];
            RowPinger[row - 1] = pinger;
            pinger->OnReply = [this](QObject *Sender, int32_t Status, const std::string &IPAddress, int32_t RTT,
                                     uint8_t TTL) {
                Mailbox->Post([=, this] { PingReply(Sender, Status, IPAddress, RTT, TTL); });
            };
            pinger->NumberOfPings = MonitorSettings.pingCount;
            pinger->Delay = MonitorSettings.pingWait;
            pinger->Timeout = MonitorSettings.pingTimeOut;
            pinger->BlockSize = MonitorSettings.pingSize;
            pinger->TTL = static_cast<uint8_t>(MonitorSettings.pingTTL & 0xFF);

            auto *worker = new TPingThread(MainViewSGrid->Cell(3, row), row, pinger);
            worker->OnTerminate = [this, worker] { Mailbox->Post([this, worker] { PingThreadDone(worker); }); };
            connect(worker, &QThread::finished, worker, &QObject::deleteLater);
            Workers.insert(worker);
            Unstarted.push_back(worker);
            ++PendingCount;
        }
    } catch (...) {
        // The rows set up so far run as usual and end the sweep.
        if (PendingCount == 0)
            RetrieveBtn->setEnabled(true);
        StartWorkers();
        throw;
    }
    StartWorkers();
}

// Starting a thread costs the window a fraction of a millisecond; hundreds
// in one go would keep it from answering for a tenth of a second. So the
// workers start a batch per turn of the event loop.
void TMainForm::StartWorkers()
{
    constexpr int Batch = 16;
    for (int started = 0; started < Batch && !Unstarted.empty(); ++started) {
        Unstarted.front()->start();
        Unstarted.pop_front();
    }
    if (!Unstarted.empty())
        QMetaObject::invokeMethod(this, &TMainForm::StartWorkers, Qt::QueuedConnection);
}

void TMainForm::PingReply(QObject *Sender, int32_t Status, const std::string &IPAddress, int32_t, uint8_t)
{
    int row = 0;
    for (int candidate = 1; candidate < MainViewSGrid->RowCount() - 1 && candidate <= MaxHosts; ++candidate)
        if (RowPinger[candidate - 1] == Sender) {
            row = candidate;
            break;
        }
    if (row == 0)
        return;

    int32_t &attempts = AttemptCount[row - 1];
    int32_t &failures = FailureCount[row - 1];
    ++attempts;
    const std::string text = GetMessageString(Status);
    if (text.empty()) {
        MainViewSGrid->SetCell(2, row, IPAddress);
    } else {
        ++failures;
        MainViewSGrid->SetCell(2, row, text);
    }
    MainViewSGrid->SetCell(0, row, platform::IntToStr(attempts - failures));
    MainViewSGrid->SetCell(1, row, platform::IntToStr(attempts));
    MainViewSGrid->RepaintRow(row);
}

void TMainForm::PingThreadDone(TPingThread *Sender)
{
    if (Workers.erase(Sender) == 0)
        return;
    --PendingCount;
    if (PendingCount > 0)
        return;
    RetrieveBtn->setEnabled(true);
    if (isActiveWindow())
        RetrieveBtn->setFocus();
}

// Tells every running component to stop and waits for its worker, so that
// nothing a worker uses goes away under it.
void TMainForm::StopWorkers()
{
    if (Workers.empty())
        return;
    Unstarted.clear();
    platform::RequestStop();
    for (TPingThread *worker : Workers)
        worker->wait();
    // Every worker posted its completion last; what is still queued is for
    // a window that goes away.
    Mailbox->Discard();
    for (TPingThread *worker : Workers)
        delete worker;
    Workers.clear();
    platform::ClearStop();
}
