#pragma once

#include <QColor>
#include <QFont>
#include <QRect>

class QPainter;

namespace platform {

// A VCL-style canvas over the surface a control is painting: a brush colour
// for fills, a font and its colour for text. It holds a painter only while
// the control paints; Handle() is that painter, the "device context" the
// Win32-style drawing helpers take.
class TCanvas {
public:
    // Binds the canvas to painter and gives the painter the canvas's font
    // and font colour; Detach lets go of it again.
    void Attach(QPainter *painter);
    void Detach();

    QPainter *Handle() const { return Painter; }

    QColor BrushColor() const { return Brush; }
    void SetBrushColor(const QColor &color) { Brush = color; }

    QColor FontColor() const { return TextColor; }
    void SetFontColor(const QColor &color);

    QFont Font() const { return TextFont; }
    void SetFont(const QFont &font);

    // Fills rect with the brush colour; nothing while detached.
    void FillRect(const QRect &rect);

private:
    QPainter *Painter = nullptr;
    QColor Brush = Qt::white;
    QColor TextColor = Qt::black;
    QFont TextFont;
};

} // namespace platform
