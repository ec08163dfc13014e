#include "platform/GridCells.h"

#include "platform/Cp932.h"

namespace platform {

GridCells::GridCells(int colCount, int rowCount, QObject *parent)
    : QAbstractTableModel(parent),
      Columns(colCount),
      Texts(static_cast<size_t>(rowCount), std::vector<std::string>(static_cast<size_t>(colCount)))
{
}

void GridCells::SetColCount(int count)
{
    if (count < 1 || count == Columns)
        return;
    const bool growing = count > Columns;
    if (growing)
        beginInsertColumns(QModelIndex(), Columns, count - 1);
    else
        beginRemoveColumns(QModelIndex(), count, Columns - 1);
    Columns = count;
    for (auto &row : Texts)
        row.resize(static_cast<size_t>(count));
    if (growing)
        endInsertColumns();
    else
        endRemoveColumns();
}

// The header row stays, so the model's rows are the grid's rows less one.
void GridCells::SetRowCount(int count)
{
    const int old = RowCount();
    if (count < 1 || count == old)
        return;
    const bool growing = count > old;
    if (growing)
        beginInsertRows(QModelIndex(), old - 1, count - 2);
    else
        beginRemoveRows(QModelIndex(), count - 1, old - 2);
    Texts.resize(static_cast<size_t>(count), std::vector<std::string>(static_cast<size_t>(Columns)));
    if (growing)
        endInsertRows();
    else
        endRemoveRows();
}

bool GridCells::Contains(int ACol, int ARow) const
{
    return ACol >= 0 && ACol < Columns && ARow >= 0 && ARow < RowCount();
}

std::string GridCells::Cell(int ACol, int ARow) const
{
    if (!Contains(ACol, ARow))
        return {};
    return Texts[static_cast<size_t>(ARow)][static_cast<size_t>(ACol)];
}

void GridCells::SetCell(int ACol, int ARow, const std::string &text)
{
    if (!Contains(ACol, ARow))
        return;
    Texts[static_cast<size_t>(ARow)][static_cast<size_t>(ACol)] = text;
    if (ARow == 0) {
        emit headerDataChanged(Qt::Horizontal, ACol, ACol);
    } else {
        const QModelIndex cell = index(ARow - 1, ACol);
        emit dataChanged(cell, cell, {Qt::DisplayRole});
    }
}

int GridCells::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : RowCount() - 1; }

int GridCells::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : Columns; }

QVariant GridCells::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return FromCp932(Cell(index.column(), index.row() + 1));
}

QVariant GridCells::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    return FromCp932(Cell(section, 0));
}

Qt::ItemFlags GridCells::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

} // namespace platform
