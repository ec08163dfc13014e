#include "monitor/SweepReport.h"

#include "monitor/main.h"
#include "platform/Cp932.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr int ReportedColumns = 5;

std::string RowText(const platform::TStringGrid &grid, int row)
{
    QStringList cells;
    for (int column = 0; column < ReportedColumns; ++column)
        cells << platform::FromCp932(grid.Cell(column, row));
    return cells.join('\t').toStdString() + '\n';
}

int HostRows(const TMainForm &form) { return std::min(form.MainViewSGrid->RowCount() - 2, MaxHosts); }

} // namespace

std::string HostTableText(const TMainForm &form)
{
    std::string text;
    for (int row = 0; row <= HostRows(form); ++row)
        text += RowText(*form.MainViewSGrid, row);
    return text;
}

TSweepExit SweepExitStatus(const TMainForm &form)
{
    int64_t answered = 0;
    int64_t failed = 0;
    for (int slot = 0; slot < HostRows(form); ++slot) {
        answered += form.AttemptCount[slot] - form.FailureCount[slot];
        failed += form.FailureCount[slot];
    }
    if (answered == 0)
        return NoEchoAnswered;
    return failed == 0 ? NoEchoFailed : SomeEchoesFailed;
}
