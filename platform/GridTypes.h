#pragma once

#include <QFlags>
#include <QRect>

#include <functional>

class QPainter;

namespace platform {

// The grid's behaviour switches, named after VCL's goXxx options.
enum class TGridOption : unsigned {
    FixedVertLine = 1u << 0,
    FixedHorzLine = 1u << 1,
    VertLine = 1u << 2,
    HorzLine = 1u << 3,
    RangeSelect = 1u << 4,
    RowSelect = 1u << 5,
    ColSizing = 1u << 6,
    Editing = 1u << 7,
};
Q_DECLARE_FLAGS(TGridOptions, TGridOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridOptions)

// How one cell is being painted: in the selection, the current cell of a
// focused grid, a header cell.
struct TGridDrawState {
    bool Selected = false;
    bool Focused = false;
    bool Fixed = false;
};

// Paints one cell, row 0 being the header, into rect on painter's surface.
using TCellPainter =
    std::function<void(QPainter *painter, const QRect &rect, int ACol, int ARow, TGridDrawState state)>;

} // namespace platform
