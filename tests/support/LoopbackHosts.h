#pragma once

#include <string>

class TMainForm;

// The loopback host of a table slot: 0 gives 127.0.0.1, 255 gives 127.0.1.0.
std::string LoopbackHost(int index);
// Fills every row of the window's host table with its loopback host.
void SetLoopbackHosts(TMainForm &form);
