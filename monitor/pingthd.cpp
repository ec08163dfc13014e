#include "monitor/pingthd.h"

#include "echo/PqICMP.h"

#include <exception>

TPingThread::TPingThread(std::string HostText, int32_t HostRow, TPqICMP *Pinger)
    : HostText(std::move(HostText)),
      HostRow(HostRow),
      Pinger(Pinger)
{
}

void TPingThread::run()
{
    Execute();
    if (OnTerminate)
        OnTerminate();
}

void TPingThread::Execute()
{
    try {
        Pinger->Address = HostText;
        Pinger->Ping();
    } catch (const std::exception &) {
        // The run is over either way; the completion still reaches the
        // window, which is all the sweep needs to end.
    }
}
