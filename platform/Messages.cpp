#include "platform/Messages.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>

namespace platform {

void ProcessMessages()
{
    QCoreApplication *application = QCoreApplication::instance();
    if (!application)
        return;
    // A worker owns no windows, timers or sockets of Qt's; its queue can only
    // hold posted events, and delivering those needs no poll of its
    // dispatcher, which hundreds of pausing workers would otherwise pay for.
    if (QThread::currentThread() == application->thread())
        QCoreApplication::processEvents();
    else
        QCoreApplication::sendPostedEvents();
}

uint32_t MessageInterval(uint32_t remaining)
{
    const QCoreApplication *application = QCoreApplication::instance();
    const bool windowThread = !application || QThread::currentThread() == application->thread();
    return windowThread ? std::min<uint32_t>(10, remaining) : remaining;
}

} // namespace platform
