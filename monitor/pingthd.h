#pragma once

#include <QThread>
#include <functional>
#include <string>

class TPqICMP;

// Runs one host row's echo component for one sweep.
class TPingThread : public QThread {
    Q_OBJECT

public:
    // The component is handed over ready, so the worker never reads the
    // main window's state from its own thread.
    TPingThread(std::string HostText, int32_t HostRow, TPqICMP *Pinger);

    const std::string HostText;
    const int32_t HostRow;
    // Runs on the worker as its last act; hands the completion to the UI thread.
    std::function<void()> OnTerminate;

protected:
    void run() override;

private:
    void Execute();

    TPqICMP *const Pinger;
};
