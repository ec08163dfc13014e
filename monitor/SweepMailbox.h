#pragma once

#include <QObject>
#include <deque>
#include <functional>
#include <mutex>

class QSocketNotifier;

// Carries work from the sweep's workers to the UI thread, in the order each
// worker posted it. The queue and its wake-up are our own (a mutex and an
// eventfd), so the hand-over is visible to the thread sanitizer, which cannot
// see into Qt's own event queue.
class TSweepMailbox : public QObject {
    Q_OBJECT

public:
    explicit TSweepMailbox(QObject *parent);
    ~TSweepMailbox() override;

    // Any thread: queues work to run on the UI thread.
    void Post(std::function<void()> work);
    // UI thread: drops what is queued and not yet run.
    void Discard();

private:
    void Deliver();

    std::mutex Lock;
    std::deque<std::function<void()>> Queue;
    int WakeFd;
    QSocketNotifier *Notifier;
};
