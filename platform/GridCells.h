#pragma once

#include <QAbstractTableModel>

#include <string>
#include <vector>

namespace platform {

// The texts of a string grid as code page 932 bytes, row 0 being the header.
// The model's rows are the grid's rows from 1 on; row 0 is its horizontal
// header data. Every write announces exactly the cell it touched, even when
// the text stays the same, so a view repaints that cell and no other.
class GridCells : public QAbstractTableModel {
    Q_OBJECT

public:
    GridCells(int colCount, int rowCount, QObject *parent = nullptr);

    int ColCount() const { return Columns; }
    void SetColCount(int count);
    int RowCount() const { return static_cast<int>(Texts.size()); }
    void SetRowCount(int count);

    bool Contains(int ACol, int ARow) const;
    std::string Cell(int ACol, int ARow) const;
    void SetCell(int ACol, int ARow, const std::string &text);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    int Columns;
    std::vector<std::vector<std::string>> Texts;
};

} // namespace platform
