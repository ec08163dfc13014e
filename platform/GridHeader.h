#pragma once

#include "platform/GridTypes.h"

#include <QHeaderView>

namespace platform {

// The string grid's header row: each section is painted as the grid's cell
// (col, 0), through the same painter as the other cells.
class GridHeader : public QHeaderView {
public:
    GridHeader(TCellPainter painter, QWidget *parent);

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    TCellPainter Paint;
};

} // namespace platform
