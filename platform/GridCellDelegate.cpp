#include "platform/GridCellDelegate.h"

namespace platform {

GridCellDelegate::GridCellDelegate(TCellPainter painter, QSize cellSize, QObject *parent)
    : QAbstractItemDelegate(parent),
      Paint(std::move(painter)),
      CellSize(cellSize)
{
}

void GridCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const TGridDrawState state{option.state.testFlag(QStyle::State_Selected),
                               option.state.testFlag(QStyle::State_HasFocus), false};
    Paint(painter, option.rect, index.column(), index.row() + 1, state);
}

QSize GridCellDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const { return CellSize; }

} // namespace platform
