#include "platform/GridPainting.h"

#include "platform/Canvas.h"
#include "platform/DrawText.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QWidget>

namespace platform {

void DrawDefaultCell(TCanvas &canvas, const QRect &rect, const std::string &text)
{
    canvas.FillRect(rect);
    QRect textRect = rect.adjusted(2, 2, 0, 0);
    DrawTextA(canvas.Handle(), text, -1, textRect, DT_NOPREFIX);
}

void DrawRaisedEdges(QPainter *painter, const QRect &rect, const QPalette &palette, bool vertical, bool horizontal)
{
    const QColor light = palette.color(QPalette::Active, QPalette::Light);
    const QColor dark = palette.color(QPalette::Active, QPalette::Dark);
    if (horizontal) {
        painter->fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), light);
        painter->fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), dark);
    }
    if (vertical) {
        painter->fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), light);
        painter->fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), dark);
    }
}

void DrawFocusFrame(QPainter *painter, const QRect &rect, const QWidget *widget, const QStyle *style,
                    const QColor &background)
{
    QStyleOptionFocusRect option;
    option.initFrom(widget);
    option.rect = rect;
    // Shown whenever the grid has focus, not only after keyboard navigation.
    option.state |= QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
    option.backgroundColor = background;
    style->drawPrimitive(QStyle::PE_FrameFocusRect, &option, painter, widget);
}

} // namespace platform
