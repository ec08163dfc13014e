#include "platform/Canvas.h"

#include <QPainter>

namespace platform {

void TCanvas::Attach(QPainter *painter)
{
    Painter = painter;
    Painter->setFont(TextFont);
    Painter->setPen(TextColor);
}

void TCanvas::Detach() { Painter = nullptr; }

void TCanvas::SetFontColor(const QColor &color)
{
    TextColor = color;
    if (Painter)
        Painter->setPen(color);
}

void TCanvas::SetFont(const QFont &font)
{
    TextFont = font;
    if (Painter)
        Painter->setFont(font);
}

void TCanvas::FillRect(const QRect &rect)
{
    if (Painter)
        Painter->fillRect(rect, Brush);
}

} // namespace platform
