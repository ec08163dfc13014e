#pragma once

#include "platform/Canvas.h"
#include "platform/GridTypes.h"

#include <QTableView>

#include <functional>
#include <string>
#include <vector>

namespace platform {

class GridCells;

// VCL's TStringGrid with one fixed row on a table view. Cells hold code page
// 932 bytes; row 0 is the header row, shown as the horizontal header, and
// rows 1.. are the body. Columns are never fixed. Rectangles handed to the
// handlers are QRects in the Windows sense described in DrawText.h.
class TStringGrid : public QTableView {
    Q_OBJECT

public:
    static constexpr int DefaultColWidth = 120;
    static constexpr int DefaultRowHeight = 15;

    explicit TStringGrid(QWidget *parent = nullptr);

    // Both counts start at 5 as in VCL and never go below 1; RowCount
    // includes the header row. Rows and columns come and go at the end.
    int ColCount() const;
    void SetColCount(int count);
    int RowCount() const;
    void SetRowCount(int count);
    int FixedRows() const { return 1; }

    // Out-of-range writes are ignored and reads give "". Every write
    // repaints its own cell (a header section for row 0) and nothing else.
    std::string Cell(int ACol, int ARow) const;
    void SetCell(int ACol, int ARow, const std::string &text);
    // A whole row, ColCount texts; missing texts write "", extra ones none.
    std::vector<std::string> Rows(int ARow) const;
    void SetRows(int ARow, const std::vector<std::string> &texts);
    void RepaintRow(int ARow);

    // A width includes the column's grid line, so with lines shown a cell is
    // one pixel narrower. Out-of-range reads give DefaultColWidth.
    int ColWidth(int ACol) const;
    void SetColWidth(int ACol, int width);

    // The defaults are VCL's: fixed and body lines both ways and RangeSelect.
    // RangeSelect lets a drag or a shifted move select a block; RowSelect
    // selects whole rows; ColSizing lets header borders be dragged.
    // VertLine and HorzLine show the body grid, which Qt draws both ways as
    // soon as either is on. Editing is kept but cells are never edited here.
    void AddOption(TGridOption option);
    void RemoveOption(TGridOption option);
    bool HasOption(TGridOption option) const;

    // The current row, 0 when there is none. SetRow(0) clears the current
    // cell and the selection; SetRow on a body row makes it current and
    // selected without asking OnSelectCell.
    int Row() const;
    void SetRow(int ARow);

    // The surface of the cell being painted, valid inside OnDrawCell.
    TCanvas &Canvas() { return CellCanvas; }

    // With DefaultDrawing each cell is filled and its text drawn before
    // OnDrawCell, and header cells get their raised edges after it.
    bool DefaultDrawing = true;
    std::function<void(QObject *Sender, int ACol, int ARow, const QRect &Rect, TGridDrawState State)> OnDrawCell;
    // Asked before a left click, a drag or a key moves the current cell: a
    // click or drag offers the cell under the pointer, a key the target cell,
    // column 0 of the target row when rows are selected whole. Refusing
    // leaves the current cell and the selection as they were. Other buttons
    // and clicks on the header or below the last row move nothing.
    std::function<void(QObject *Sender, int ACol, int ARow, bool &CanSelect)> OnSelectCell;

    // Typing never moves the current cell.
    void keyboardSearch(const QString &search) override;

protected:
    void initViewItemOption(QStyleOptionViewItem *option) const override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    void PaintCell(QPainter *painter, const QRect &rect, int ACol, int ARow, TGridDrawState state);
    void ApplyOptions();
    bool Offer(const QModelIndex &target);
    QRect RowArea(int modelRow) const;
    QRect RowCells(int modelRow) const;

    GridCells *Cells;
    TGridOptions Options;
    TCanvas CellCanvas;
    QStyle *FocusStyle = nullptr;
    bool PressIgnored = false;
};

} // namespace platform
