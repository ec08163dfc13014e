#pragma once

#include "monitor/MonitorSettings.h"
#include "platform/StringList.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The control file: settings, window geometry, column widths and hosts,
// kept in the working directory across runs.
constexpr const char *ControlFile = "quorvel.ini";

// The columns whose widths are stored; the filler column is computed.
constexpr int StoredColumns = 5;

struct TControlFileHost {
    std::string Host;
    std::string Note;
    bool operator==(const TControlFileHost &) const = default;
};

// Everything the writer stores.
struct TControlFileContent {
    int32_t Height = 0;
    int32_t Width = 0;
    int32_t Top = 0;
    int32_t Left = 0;
    std::array<int32_t, StoredColumns> ColWidths{};
    TMonitorSettings Settings;
    std::vector<TControlFileHost> Hosts;
};

// The file's lines, in the order the reader expects them.
platform::TStringList ControlFileLines(const TControlFileContent &content);

enum class TWindowValue { Height, Width, Top, Left };

// Where the reader puts what it finds, one value at a time.
class TControlFileTarget {
public:
    virtual void SetWindowValue(TWindowValue which, int32_t value) = 0;
    virtual void SetColWidth(int column, int32_t width) = 0;
    virtual void AddHost(const std::string &host, const std::string &note) = 0;
    // A host pair found after hostLimit hosts had been added.
    virtual void LeaveOutHost() = 0;

protected:
    ~TControlFileTarget() = default;
};

// Reads the lines and applies each value as soon as it is read, so that an
// EConvertError for a bad value leaves everything before it in place. Tags
// may stand anywhere and repeat, the last one counting; the host list after
// "[Hosts]" runs to an empty host line (whose next two lines are skipped) or
// until fewer than two lines remain. Pairs beyond hostLimit are left out.
void ApplyControlFile(const platform::TStringList &lines, TControlFileTarget &target, TMonitorSettings &settings,
                      int hostLimit);
