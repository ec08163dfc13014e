#pragma once

#include <QString>

// Why no echo component can be built on this machine, or empty text when
// one can: tests of real packets skip with this reason.
QString WhyNoEchoSockets();
