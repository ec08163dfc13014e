#pragma once

#include "bench/ProcessFigures.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

namespace platform {
class TStringGrid;
}

// Watches a sweep from outside the window's code: the echo library is
// wrapped to note when each reply reaches its worker, and the grid's draw
// handler to note when each row is painted.
class BenchProbes {
public:
    BenchProbes();
    ~BenchProbes();

    void WatchPainting(platform::TStringGrid &grid);
    void Clear();
    // Milliseconds from each reply's arrival to the next painting of the
    // row of its host; rowOf maps a destination (network order) to its row.
    std::vector<double> ArrivalToRepaint(const std::map<uint32_t, int> &rowOf) const;

    // Called from the wrapped echo library on any worker.
    void NoteArrival(uint32_t destination);

private:
    mutable std::mutex Lock;
    std::vector<std::pair<uint32_t, BenchClock::time_point>> Arrivals;
    std::map<int, std::vector<BenchClock::time_point>> Paints;
};
