// A control file's bytes as the reader takes them: split into lines, then
// applied. Anything may stand in a hand-edited file; only EConvertError may
// leave the reader, and what it applies must fit the window and the table.
#include "monitor/ControlFile.h"
#include "platform/IntegerConversion.h"

#include <cstdlib>
#include <string_view>

namespace {

// Small, so that inputs reach the pairs beyond the limit.
constexpr int HostLimit = 3;

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

bool IsLine(const std::string &text) { return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos; }

class Checks final : public TControlFileTarget {
public:
    void SetWindowValue(TWindowValue which, int32_t) override
    {
        Require(which >= TWindowValue::Height && which <= TWindowValue::Left);
    }
    void SetColWidth(int column, int32_t) override { Require(column >= 0 && column < StoredColumns); }
    void AddHost(const std::string &host, const std::string &note) override
    {
        Require(!LeftOut && ++Added <= HostLimit && !host.empty() && IsLine(host) && IsLine(note));
    }
    void LeaveOutHost() override
    {
        Require(Added == HostLimit);
        LeftOut = true;
    }

private:
    int Added = 0;
    bool LeftOut = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    platform::TStringList lines;
    lines.SetText(std::string_view(reinterpret_cast<const char *>(bytes), size));

    // The lines survive being saved and read again.
    platform::TStringList again;
    again.SetText(lines.Text());
    Require(again.Count() == lines.Count());
    for (int i = 0; i < lines.Count(); ++i)
        Require(IsLine(lines[i]) && again[i] == lines[i]);

    Checks target;
    TMonitorSettings settings;
    try {
        ApplyControlFile(lines, target, settings, HostLimit);
    } catch (const platform::EConvertError &) {
    }
    return 0;
}
