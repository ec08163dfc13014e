#pragma once

#include <chrono>

// What this process uses, read from the kernel.
struct ProcessFigures {
    double CpuSeconds = 0;      // user and system, this process
    double ChildCpuSeconds = 0; // user and system, children waited for
    double PeakRssMiB = 0;
    double RssMiB = 0;
    int Threads = 0;
    int OpenFds = 0;
};

ProcessFigures ReadProcessFigures();

using BenchClock = std::chrono::steady_clock;

double SecondsSince(BenchClock::time_point start);
double MillisecondsBetween(BenchClock::time_point from, BenchClock::time_point to);
