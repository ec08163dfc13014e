#include "platform/GridHeader.h"

namespace platform {

GridHeader::GridHeader(TCellPainter painter, QWidget *parent)
    : QHeaderView(Qt::Horizontal, parent),
      Paint(std::move(painter))
{
}

void GridHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    Paint(painter, rect, logicalIndex, 0, TGridDrawState{false, false, true});
}

} // namespace platform
