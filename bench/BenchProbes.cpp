#include "bench/BenchProbes.h"

#include "platform/IcmpLibrary.h"
#include "platform/Libraries.h"
#include "platform/StringGrid.h"

#include <algorithm>
#include <atomic>

namespace {

std::atomic<BenchProbes *> Active{nullptr};
platform::TIcmpSendEcho RealSendEcho = nullptr;

uint32_t TimedSendEcho(platform::HANDLE handle, uint32_t destination, void *requestData, uint16_t requestSize,
                       platform::TIPINFO *options, void *replyBuffer, uint32_t replySize, uint32_t timeout)
{
    const uint32_t replies =
        RealSendEcho(handle, destination, requestData, requestSize, options, replyBuffer, replySize, timeout);
    if (BenchProbes *probes = Active.load())
        probes->NoteArrival(destination);
    return replies;
}

} // namespace

BenchProbes::BenchProbes()
{
    auto entries = platform::IcmpEntryPoints();
    RealSendEcho = reinterpret_cast<platform::TIcmpSendEcho>(entries.at("IcmpSendEcho"));
    entries["IcmpSendEcho"] = reinterpret_cast<void *>(&TimedSendEcho);
    platform::RegisterLibrary("ICMP.DLL", entries);
    Active.store(this);
}

BenchProbes::~BenchProbes()
{
    Active.store(nullptr);
    platform::RestoreLibraries();
}

void BenchProbes::WatchPainting(platform::TStringGrid &grid)
{
    auto original = grid.OnDrawCell;
    grid.OnDrawCell = [this, original](QObject *sender, int column, int row, const QRect &rect,
                                       platform::TGridDrawState state) {
        if (column == 0) {
            std::lock_guard guard(Lock);
            Paints[row].push_back(BenchClock::now());
        }
        if (original)
            original(sender, column, row, rect, state);
    };
}

void BenchProbes::Clear()
{
    std::lock_guard guard(Lock);
    Arrivals.clear();
    Paints.clear();
}

void BenchProbes::NoteArrival(uint32_t destination)
{
    std::lock_guard guard(Lock);
    Arrivals.emplace_back(destination, BenchClock::now());
}

std::vector<double> BenchProbes::ArrivalToRepaint(const std::map<uint32_t, int> &rowOf) const
{
    std::lock_guard guard(Lock);
    std::vector<double> latencies;
    for (const auto &[destination, arrived] : Arrivals) {
        const auto row = rowOf.find(destination);
        if (row == rowOf.end())
            continue;
        const auto paints = Paints.find(row->second);
        if (paints == Paints.end())
            continue;
        const auto next = std::lower_bound(paints->second.begin(), paints->second.end(), arrived);
        if (next != paints->second.end())
            latencies.push_back(MillisecondsBetween(arrived, *next));
    }
    return latencies;
}
