#pragma once

#include <QRect>

#include <string>

class QColor;
class QPainter;
class QPalette;
class QStyle;
class QWidget;

namespace platform {

class TCanvas;

// The string grid's own look, drawn around what a cell's handler draws.

// Fills rect with the canvas's brush and draws text from 2 px inside its
// left and top edges, clipped to rect, in the canvas's font.
void DrawDefaultCell(TCanvas &canvas, const QRect &rect, const std::string &text);

// The raised inner edges of a header cell: light left and dark right edges
// for vertical lines, light top and dark bottom edges for horizontal ones.
void DrawRaisedEdges(QPainter *painter, const QRect &rect, const QPalette &palette, bool vertical, bool horizontal);

// The dotted focus frame of style around rect, drawn over background for
// widget.
void DrawFocusFrame(QPainter *painter, const QRect &rect, const QWidget *widget, const QStyle *style,
                    const QColor &background);

} // namespace platform
