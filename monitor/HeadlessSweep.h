#pragma once

#include <iosfwd>

class TMainForm;

// Runs the event loop until the window's sweep is over: at once when none
// runs, else when the last worker's completion enables the reload button.
// Whatever the window queued before, such as a notice at its first show,
// is handled first.
void WaitForSweepEnd(TMainForm &form);

// quorvel-sweep with a QApplication in place: builds the main window, which
// reads the control file; runs one sweep, the start-up sweep when the file
// asks for it, else the reload button's; writes the host table to out and
// what the window would show in message boxes to err; returns the exit
// status. The window goes without a close event, so the control file is
// never written.
int RunHeadlessSweep(std::ostream &out, std::ostream &err);
