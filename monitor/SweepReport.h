#pragma once

#include <string>

class TMainForm;

// quorvel-sweep's exit statuses.
enum TSweepExit : int {
    NoEchoFailed = 0,
    SomeEchoesFailed = 1,
    NoEchoAnswered = 2,
    SweepCannotRun = 3,
};

// The host table as UTF-8 text: the five header texts, then one line per
// host row in table order, columns 0 to 4, tab-separated.
std::string HostTableText(const TMainForm &form);

// The exit status of a sweep that ran, from the rows' counts. A sweep that
// sent no echoes at all (no hosts, or a count of 0) has found no host
// answering, and says so.
TSweepExit SweepExitStatus(const TMainForm &form);
