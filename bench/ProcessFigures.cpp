#include "bench/ProcessFigures.h"

#include <dirent.h>
#include <fstream>
#include <string>
#include <sys/resource.h>

namespace {

double Seconds(const timeval &time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; }

// A "Name:   value kB" line of /proc/self/status.
long StatusField(const std::string &name)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(name + ":", 0) == 0)
            return std::stol(line.substr(name.size() + 1));
    return 0;
}

int CountOpenFds()
{
    DIR *fds = opendir("/proc/self/fd");
    if (!fds)
        return 0;
    int count = 0;
    while (const dirent *entry = readdir(fds))
        if (entry->d_name[0] != '.')
            ++count;
    closedir(fds);
    return count - 1; // the directory stream itself
}

} // namespace

ProcessFigures ReadProcessFigures()
{
    ProcessFigures figures;
    rusage self{}, children{};
    getrusage(RUSAGE_SELF, &self);
    getrusage(RUSAGE_CHILDREN, &children);
    figures.CpuSeconds = Seconds(self.ru_utime) + Seconds(self.ru_stime);
    figures.ChildCpuSeconds = Seconds(children.ru_utime) + Seconds(children.ru_stime);
    figures.PeakRssMiB = static_cast<double>(self.ru_maxrss) / 1024.0;
    figures.RssMiB = static_cast<double>(StatusField("VmRSS")) / 1024.0;
    figures.Threads = static_cast<int>(StatusField("Threads"));
    figures.OpenFds = CountOpenFds();
    return figures;
}

double SecondsSince(BenchClock::time_point start)
{
    return std::chrono::duration<double>(BenchClock::now() - start).count();
}

double MillisecondsBetween(BenchClock::time_point from, BenchClock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}
