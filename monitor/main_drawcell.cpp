// The host table's cell painting: each host row coloured by its latest
// sweep's outcome, over the grid's standard painting.
#include "monitor/main.h"

#include "monitor/OutcomeColour.h"
#include "platform/Colors.h"
#include "platform/DrawText.h"

void TMainForm::MainViewSGridDrawCell(QObject *, int ACol, int ARow, const QRect &Rect, platform::TGridDrawState)
{
    platform::TCanvas &canvas = MainViewSGrid->Canvas();
    // The active group, as the grid's standard painting uses.
    const QPalette &colors = MainViewSGrid->palette();

    QRect textRect = Rect;
    canvas.SetFontColor(platform::clBlack);
    // Every cell gets its base colour, not only a selected one: this takes
    // the selection colour off, and it wipes the standard text, which sits
    // 1 px lower than ours and runs on into the 2 px where ours is cut.
    canvas.SetBrushColor(colors.color(QPalette::Active, ARow == 0 ? QPalette::Button : QPalette::Base));
    canvas.FillRect(Rect);
    if (ARow != 0 && ARow != MainViewSGrid->RowCount() - 1) {
        if (const auto outcome = OutcomeColour(MainViewSGrid->Cell(0, ARow), MainViewSGrid->Cell(1, ARow))) {
            canvas.SetBrushColor(*outcome);
            canvas.FillRect(Rect);
        }
    }
    platform::InflateRect(textRect, -2, -1);
    const unsigned format = ARow == 0 ? platform::DT_CENTER | platform::DT_VCENTER | platform::DT_SINGLELINE : 0;
    platform::DrawTextA(canvas.Handle(), MainViewSGrid->Cell(ACol, ARow), -1, textRect, format);
}
