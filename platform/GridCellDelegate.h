#pragma once

#include "platform/GridTypes.h"

#include <QAbstractItemDelegate>

namespace platform {

// Hands each body cell of a string grid to the grid's cell painter; the
// model's row r is the grid's row r + 1.
class GridCellDelegate : public QAbstractItemDelegate {
public:
    GridCellDelegate(TCellPainter painter, QSize cellSize, QObject *parent);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    TCellPainter Paint;
    QSize CellSize;
};

} // namespace platform
