#include "platform/StringGrid.h"

#include "platform/GridCellDelegate.h"
#include "platform/GridCells.h"
#include "platform/GridHeader.h"
#include "platform/GridPainting.h"

#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleFactory>

namespace platform {

namespace {

constexpr int InitialCount = 5;

constexpr TGridOptions InitialOptions = TGridOption::FixedVertLine | TGridOption::FixedHorzLine |
                                        TGridOption::VertLine | TGridOption::HorzLine | TGridOption::RangeSelect;

} // namespace

TStringGrid::TStringGrid(QWidget *parent)
    : QTableView(parent),
      Cells(new GridCells(InitialCount, InitialCount, this)),
      Options(InitialOptions)
{
    const TCellPainter painter = [this](QPainter *p, const QRect &rect, int ACol, int ARow, TGridDrawState state) {
        PaintCell(p, rect, ACol, ARow, state);
    };

    auto *header = new GridHeader(painter, this);
    setHorizontalHeader(header);
    header->setSectionsClickable(false);
    header->setSectionsMovable(false);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setDefaultSectionSize(DefaultColWidth);
    header->setFixedHeight(DefaultRowHeight);

    QHeaderView *rows = verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(DefaultRowHeight);
    rows->setDefaultSectionSize(DefaultRowHeight);

    setItemDelegate(new GridCellDelegate(painter, QSize(DefaultColWidth, DefaultRowHeight), this));
    setModel(Cells);
    // The view lays every item out again on any header change. Header texts
    // move nothing here, the header's height being fixed, so only the header
    // itself listens and repaints the one section.
    disconnect(Cells, QMetaMethod::fromSignal(&QAbstractItemModel::headerDataChanged), this, QMetaMethod());
    setEditTriggers(NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ApplyOptions();

    // Windows' dotted focus frame: other styles may fill the inside of
    // theirs, tinting the colours the handler chose.
    FocusStyle = QStyleFactory::create(QStringLiteral("Windows"));
    if (FocusStyle)
        FocusStyle->setParent(this);
}

int TStringGrid::ColCount() const { return Cells->ColCount(); }

void TStringGrid::SetColCount(int count) { Cells->SetColCount(count); }

int TStringGrid::RowCount() const { return Cells->RowCount(); }

void TStringGrid::SetRowCount(int count) { Cells->SetRowCount(count); }

std::string TStringGrid::Cell(int ACol, int ARow) const { return Cells->Cell(ACol, ARow); }

void TStringGrid::SetCell(int ACol, int ARow, const std::string &text) { Cells->SetCell(ACol, ARow, text); }

std::vector<std::string> TStringGrid::Rows(int ARow) const
{
    std::vector<std::string> texts;
    for (int col = 0; col < ColCount(); ++col)
        texts.push_back(Cell(col, ARow));
    return texts;
}

void TStringGrid::SetRows(int ARow, const std::vector<std::string> &texts)
{
    for (int col = 0; col < ColCount(); ++col)
        SetCell(col, ARow, static_cast<size_t>(col) < texts.size() ? texts[static_cast<size_t>(col)] : std::string());
}

void TStringGrid::RepaintRow(int ARow)
{
    if (ARow == 0)
        horizontalHeader()->viewport()->update();
    else if (ARow > 0 && ARow < RowCount())
        viewport()->update(RowArea(ARow - 1));
}

int TStringGrid::ColWidth(int ACol) const
{
    if (ACol < 0 || ACol >= ColCount())
        return DefaultColWidth;
    return horizontalHeader()->sectionSize(ACol);
}

void TStringGrid::SetColWidth(int ACol, int width)
{
    if (ACol >= 0 && ACol < ColCount() && width >= 0)
        horizontalHeader()->resizeSection(ACol, width);
}

void TStringGrid::AddOption(TGridOption option)
{
    Options |= option;
    ApplyOptions();
}

void TStringGrid::RemoveOption(TGridOption option)
{
    Options &= ~TGridOptions(option);
    ApplyOptions();
}

bool TStringGrid::HasOption(TGridOption option) const { return Options.testFlag(option); }

void TStringGrid::ApplyOptions()
{
    setSelectionBehavior(HasOption(TGridOption::RowSelect) ? SelectRows : SelectItems);
    setSelectionMode(HasOption(TGridOption::RangeSelect) ? ContiguousSelection : SingleSelection);
    horizontalHeader()->setSectionResizeMode(HasOption(TGridOption::ColSizing) ? QHeaderView::Interactive
                                                                               : QHeaderView::Fixed);
    setShowGrid(HasOption(TGridOption::VertLine) || HasOption(TGridOption::HorzLine));
    horizontalHeader()->viewport()->update();
}

int TStringGrid::Row() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void TStringGrid::SetRow(int ARow)
{
    if (ARow == 0) {
        selectionModel()->clear();
    } else if (ARow > 0 && ARow < RowCount()) {
        const QModelIndex current = currentIndex();
        setCurrentIndex(Cells->index(ARow - 1, current.isValid() ? current.column() : 0));
    }
}

void TStringGrid::keyboardSearch(const QString &) {}

void TStringGrid::PaintCell(QPainter *painter, const QRect &rect, int ACol, int ARow, TGridDrawState state)
{
    const QPalette &colors = palette();
    QPalette::ColorRole fill = QPalette::Base;
    QPalette::ColorRole text = QPalette::Text;
    if (state.Fixed) {
        fill = QPalette::Button;
        text = QPalette::ButtonText;
    } else if (state.Selected) {
        fill = QPalette::Highlight;
        text = QPalette::HighlightedText;
    }

    painter->save();
    CellCanvas.SetFont(font());
    CellCanvas.SetBrushColor(colors.color(QPalette::Active, fill));
    CellCanvas.SetFontColor(colors.color(QPalette::Active, text));
    CellCanvas.Attach(painter);
    if (DefaultDrawing)
        DrawDefaultCell(CellCanvas, rect, Cell(ACol, ARow));
    if (OnDrawCell)
        OnDrawCell(this, ACol, ARow, rect, state);
    if (DefaultDrawing && state.Fixed)
        DrawRaisedEdges(painter, rect, colors, HasOption(TGridOption::FixedVertLine),
                        HasOption(TGridOption::FixedHorzLine));
    CellCanvas.Detach();
    painter->restore();
}

// The style's own selected-row background would show under cells left to
// the handler; a cell's colours come from PaintCell alone.
void TStringGrid::initViewItemOption(QStyleOptionViewItem *option) const
{
    QTableView::initViewItemOption(option);
    option->palette.setBrush(QPalette::Highlight, Qt::transparent);
}

// The focus frame goes over every cell of the current row, after them all.
void TStringGrid::paintEvent(QPaintEvent *event)
{
    QTableView::paintEvent(event);
    const QModelIndex current = currentIndex();
    if (!hasFocus() || !current.isValid())
        return;
    const bool selected = selectionModel()->isSelected(current);
    QPainter painter(viewport());
    DrawFocusFrame(&painter, RowCells(current.row()), this, FocusStyle ? FocusStyle : style(),
                   palette().color(QPalette::Active, selected ? QPalette::Highlight : QPalette::Base));
}

bool TStringGrid::Offer(const QModelIndex &target)
{
    bool canSelect = true;
    if (OnSelectCell)
        OnSelectCell(this, target.column(), target.row() + 1, canSelect);
    return canSelect;
}

// Only the left button on a cell moves the current cell, and only when the
// handler lets it; otherwise the whole press, drag and release is ignored.
void TStringGrid::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex target = indexAt(event->position().toPoint());
    PressIgnored = event->button() != Qt::LeftButton || !target.isValid() || !Offer(target);
    if (PressIgnored)
        event->accept();
    else
        QTableView::mousePressEvent(event);
}

void TStringGrid::mouseMoveEvent(QMouseEvent *event)
{
    if (PressIgnored) {
        event->accept();
        return;
    }
    if (event->buttons().testFlag(Qt::LeftButton)) {
        const QModelIndex target = indexAt(event->position().toPoint());
        if (target.isValid() && target != currentIndex() && !Offer(target)) {
            event->accept();
            return;
        }
    }
    QTableView::mouseMoveEvent(event);
}

void TStringGrid::mouseReleaseEvent(QMouseEvent *event)
{
    if (PressIgnored) {
        PressIgnored = false;
        event->accept();
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

QModelIndex TStringGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    const bool wholeRows = HasOption(TGridOption::RowSelect);
    // With whole rows Home and End have no columns to go to, so they go to
    // the first and last row.
    if (wholeRows && (cursorAction == MoveHome || cursorAction == MoveEnd))
        modifiers |= Qt::ControlModifier;
    QModelIndex target = QTableView::moveCursor(cursorAction, modifiers);
    if (wholeRows && target.isValid())
        target = target.siblingAtColumn(0);
    const QModelIndex current = currentIndex();
    if (!target.isValid() || target == current || Offer(target))
        return target;
    return current;
}

void TStringGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (previous.isValid())
        viewport()->update(RowArea(previous.row()));
    if (current.isValid())
        viewport()->update(RowArea(current.row()));
}

QRect TStringGrid::RowArea(int modelRow) const
{
    return QRect(0, rowViewportPosition(modelRow), viewport()->width(), rowHeight(modelRow));
}

QRect TStringGrid::RowCells(int modelRow) const
{
    return visualRect(Cells->index(modelRow, 0)).united(visualRect(Cells->index(modelRow, ColCount() - 1)));
}

} // namespace platform
