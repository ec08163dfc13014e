// quorvel-sweep: one sweep of the control file without a screen.
#include "monitor/HeadlessSweep.h"
#include "monitor/SweepCommandLine.h"
#include "monitor/SweepReport.h"

#include <QApplication>
#include <iostream>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Read before QApplication, which would take its own options out.
    const TSweepRequest request = SweepRequestOf(arguments);
    switch (request.Kind) {
    case TSweepRequest::TKind::Usage:
        std::cout << SweepUsage().toStdString();
        return 0;
    case TSweepRequest::TKind::Refused:
        std::cerr << RefusedArgumentMessage(request.Refused).toStdString();
        return SweepCannotRun;
    case TSweepRequest::TKind::Sweep:
        break;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return RunHeadlessSweep(std::cout, std::cerr);
}
