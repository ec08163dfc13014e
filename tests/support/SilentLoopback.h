#pragma once

#include "tests/support/NetnsLab.h"

#include <QString>
#include <functional>

// A network namespace with loopback alone, where the kernel answers no echo
// request: every echo reply seen there is one a test sent. It lives on one
// thread and goes away with it, so a test that dies leaves nothing behind.
// Needs root; returns what failed, or empty text.
QString RunInSilentLoopback(NetnsLab::SocketKind kind, const std::function<void()> &work);
