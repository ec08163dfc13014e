#include "tests/support/EchoSockets.h"

#include "echo/PqICMP.h"

QString WhyNoEchoSockets()
{
    try {
        TPqICMP probe(nullptr);
        return {};
    } catch (const EICMPError &error) {
        return "no ICMP socket can be opened here: " + QString::fromUtf8(error.what());
    }
}
