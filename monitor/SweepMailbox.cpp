#include "monitor/SweepMailbox.h"

#include <QSocketNotifier>
#include <cstdint>
#include <stdexcept>
#include <sys/eventfd.h>
#include <unistd.h>

TSweepMailbox::TSweepMailbox(QObject *parent) : QObject(parent), WakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (WakeFd < 0)
        throw std::runtime_error("eventfd failed");
    Notifier = new QSocketNotifier(WakeFd, QSocketNotifier::Read, this);
    connect(Notifier, &QSocketNotifier::activated, this, &TSweepMailbox::Deliver);
}

TSweepMailbox::~TSweepMailbox() { close(WakeFd); }

void TSweepMailbox::Post(std::function<void()> work)
{
    {
        std::lock_guard guard(Lock);
        Queue.push_back(std::move(work));
    }
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(WakeFd, &one, sizeof one);
}

void TSweepMailbox::Discard()
{
    std::lock_guard guard(Lock);
    Queue.clear();
}

void TSweepMailbox::Deliver()
{
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t got = read(WakeFd, &count, sizeof count);
    for (;;) {
        std::function<void()> work;
        {
            std::lock_guard guard(Lock);
            if (Queue.empty())
                return;
            work = std::move(Queue.front());
            Queue.pop_front();
        }
        work();
    }
}
