#include "monitor/ControlFile.h"

#include "platform/Cp932.h"
#include "platform/IntegerConversion.h"

#include <QString>
#include <utility>

using platform::IntToStr;
using platform::StrToInt;

namespace {

std::string ColWidthTag(int column) { return "[ColWidth" + IntToStr(column) + "]"; }

const std::pair<const char *, TWindowValue> WindowTags[] = {
    {"[Height]", TWindowValue::Height},
    {"[Width]", TWindowValue::Width},
    {"[Top]", TWindowValue::Top},
    {"[Left]", TWindowValue::Left},
};

const std::pair<const char *, int32_t TMonitorSettings::*> NumberTags[] = {
    {"[pingCount]", &TMonitorSettings::pingCount},     {"[pingWait]", &TMonitorSettings::pingWait},
    {"[pingTimeOut]", &TMonitorSettings::pingTimeOut}, {"[pingSize]", &TMonitorSettings::pingSize},
    {"[pingTTL]", &TMonitorSettings::pingTTL},         {"[AutoTime]", &TMonitorSettings::AutoTime},
};

const std::pair<const char *, bool TMonitorSettings::*> SwitchTags[] = {
    {"[AutoExec]", &TMonitorSettings::AutoExec},
    {"[Exec]", &TMonitorSettings::Exec},
};

void AddPair(platform::TStringList &lines, const std::string &key, const std::string &value)
{
    lines.Add(key);
    lines.Add(value);
}

// Applies the tag the key names, if any.
void ApplyTag(const std::string &key, const std::string &value, TControlFileTarget &target, TMonitorSettings &settings)
{
    for (const auto &[tag, which] : WindowTags)
        if (key == tag)
            target.SetWindowValue(which, StrToInt(value));
    for (int column = 0; column < StoredColumns; ++column)
        if (key == ColWidthTag(column))
            target.SetColWidth(column, StrToInt(value));
    for (const auto &[tag, field] : NumberTags)
        if (key == tag)
            settings.*field = StrToInt(value);
    for (const auto &[tag, field] : SwitchTags)
        if (key == tag)
            settings.*field = StrToInt(value) != 0;
}

} // namespace

platform::TStringList ControlFileLines(const TControlFileContent &content)
{
    platform::TStringList lines;
    lines.Add(platform::ToCp932(QStringLiteral("Quorvelコントロールファイル")));
    lines.Add("");
    const int32_t window[] = {content.Height, content.Width, content.Top, content.Left};
    for (size_t i = 0; i < std::size(WindowTags); ++i)
        AddPair(lines, WindowTags[i].first, IntToStr(window[i]));
    for (int column = 0; column < StoredColumns; ++column)
        AddPair(lines, ColWidthTag(column), IntToStr(content.ColWidths[static_cast<size_t>(column)]));
    for (const auto &[tag, field] : NumberTags)
        AddPair(lines, tag, IntToStr(content.Settings.*field));
    for (const auto &[tag, field] : SwitchTags)
        AddPair(lines, tag, content.Settings.*field ? "1" : "0");
    lines.Add("");
    lines.Add("[Hosts]");
    for (const TControlFileHost &host : content.Hosts)
        AddPair(lines, host.Host, host.Note);
    lines.Add("[end]");
    return lines;
}

void ApplyControlFile(const platform::TStringList &lines, TControlFileTarget &target, TMonitorSettings &settings,
                      int hostLimit)
{
    const int count = lines.Count();
    int added = 0;
    for (int i = 1; i < count; ++i) {
        if (lines[i - 1] != "[Hosts]") {
            ApplyTag(lines[i - 1], lines[i], target, settings);
            continue;
        }
        int j = i;
        for (; j + 1 < count && !lines[j].empty(); j += 2) {
            if (added < hostLimit) {
                target.AddHost(lines[j], lines[j + 1]);
                ++added;
            } else {
                target.LeaveOutHost();
            }
        }
        if (j + 1 >= count)
            return;
        // An empty host line ends the list; the two lines after it are
        // never keys, and the scan takes L(j + 3) as its next key.
        i = j + 3;
    }
}
