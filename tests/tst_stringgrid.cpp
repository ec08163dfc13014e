// The string grid as real widgets on the offscreen platform: texts, geometry,
// what gets repainted, pixels from grab(), and refused selection moves.
#include "platform/Cp932.h"
#include "platform/DrawText.h"
#include "platform/StringGrid.h"

#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTest>

#include <algorithm>

using platform::TGridDrawState;
using platform::TGridOption;
using platform::ToCp932;
using platform::TStringGrid;

Q_DECLARE_METATYPE(std::string)

namespace {

using Cells = QList<QPoint>; // (column, row) pairs

// The grid as the main window sets it up: whole rows, sizable columns, no
// lines, no ranges.
void UseMainWindowOptions(TStringGrid &grid)
{
    grid.AddOption(TGridOption::RowSelect);
    grid.AddOption(TGridOption::ColSizing);
    grid.RemoveOption(TGridOption::VertLine);
    grid.RemoveOption(TGridOption::HorzLine);
    grid.RemoveOption(TGridOption::RangeSelect);
}

// A shown grid that logs every cell OnDrawCell is called for, then lets
// Paint draw it.
struct PaintLog {
    TStringGrid grid;
    Cells painted;
    bool shown = false;
    std::function<void(int ACol, int ARow, const QRect &Rect, TGridDrawState State)> Paint;

    PaintLog()
    {
        grid.SetRowCount(6);
        grid.resize(700, 200);
        grid.OnDrawCell = [this](QObject *, int ACol, int ARow, const QRect &Rect, TGridDrawState State) {
            painted.append(QPoint(ACol, ARow));
            shown = true;
            if (Paint)
                Paint(ACol, ARow, Rect, State);
        };
        grid.show();
    }

    // Waits for the first paint, then lets every paint due happen.
    bool Settle()
    {
        if (!QTest::qWaitForWindowExposed(&grid) || !QTest::qWaitFor([this] { return shown; }))
            return false;
        for (int turn = 0; turn < 10; ++turn) {
            painted.clear();
            QCoreApplication::processEvents();
            if (painted.isEmpty())
                return true;
        }
        return false;
    }

    // The cells painted because of action: those of the first paint after
    // it and of one more event-loop turn, sorted by row and column.
    Cells PaintedBy(const std::function<void()> &action)
    {
        painted.clear();
        action();
        if (!QTest::qWaitFor([this] { return !painted.isEmpty(); }))
            return {};
        QCoreApplication::processEvents();
        Cells cells = painted;
        std::sort(cells.begin(), cells.end(),
                  [](QPoint a, QPoint b) { return std::pair(a.y(), a.x()) < std::pair(b.y(), b.x()); });
        return cells;
    }
};

QColor Role(const QWidget &widget, QPalette::ColorRole role)
{
    return QColor(widget.palette().color(QPalette::Active, role).rgb());
}

QRect CellRect(const TStringGrid &grid, int ACol, int ARow)
{
    return grid.visualRect(grid.model()->index(ARow - 1, ACol));
}

QPoint CellCenter(const TStringGrid &grid, int ACol, int ARow) { return CellRect(grid, ACol, ARow).center(); }

QImage Pixels(QWidget *widget) { return widget->grab().toImage(); }

// Rows of the selection model, as grid rows.
QList<int> SelectedRows(const TStringGrid &grid)
{
    QList<int> rows;
    for (const QModelIndex &index : grid.selectionModel()->selectedRows())
        rows.append(index.row() + 1);
    std::sort(rows.begin(), rows.end());
    return rows;
}

// A white image with text drawn in black by DrawTextA into rect.
QImage Drawn(const std::string &text, int length, QRect rect, unsigned format)
{
    QImage image(120, 50, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    platform::DrawTextA(&painter, text, length, rect, format);
    return image;
}

// The smallest rectangle holding every pixel that is not white.
QRect Ink(const QImage &image)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != QColor(Qt::white))
                ink |= QRect(x, y, 1, 1);
    return ink;
}

} // namespace

class TestStringGrid : public QObject {
    Q_OBJECT

private slots:
    void textsRoundTrip_data();
    void textsRoundTrip();
    void outOfRangeIsIgnored_data();
    void outOfRangeIsIgnored();
    void countsKeepAndDiscardAtTheEnd();
    void wholeRowsRoundTrip();
    void optionsMapToTheView();

    void oneWriteRepaintsOneCell_data();
    void oneWriteRepaintsOneCell();
    void repaintRowRepaintsThatRow_data();
    void repaintRowRepaintsThatRow();

    void cellGeometry_data();
    void cellGeometry();
    void noHorizontalScrollBar();

    void handlerPaintsOverStandardPainting();
    void headerFrameGoesOverTheHandler();
    void selectedRowIsHighlighted();
    void focusFrameGoesOverTheCurrentRow_data();
    void focusFrameGoesOverTheCurrentRow();

    void inflateRect_data();
    void inflateRect();
    void drawTextPlacesAndClips();
    void drawTextCountsBytesAndPrefixes_data();
    void drawTextCountsBytesAndPrefixes();

    void clickOffersTheCellUnderThePointer_data();
    void clickOffersTheCellUnderThePointer();
    void dragOffersEachCellReached();
    void keyOffersColumnZeroOfTheTargetRow_data();
    void keyOffersColumnZeroOfTheTargetRow();
    void clicksOffTheBodySelectNothing_data();
    void clicksOffTheBodySelectNothing();
};

void TestStringGrid::textsRoundTrip_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<std::string>("text");

    QTest::newRow("body cell in kanji") << 2 << 3 << ToCp932(QStringLiteral("成功"));
    QTest::newRow("last body cell") << 4 << 4 << ToCp932(QStringLiteral("ﾀｲﾑｱｳﾄ"));
    QTest::newRow("header cell") << 1 << 0 << ToCp932(QStringLiteral("ホスト名"));
    QTest::newRow("0x5C trail byte") << 0 << 0 << ToCp932(QStringLiteral("表示"));
}

void TestStringGrid::textsRoundTrip()
{
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(std::string, text);
    TStringGrid grid;

    grid.SetCell(col, row, text);

    QCOMPARE(grid.Cell(col, row), text);
    const QString shown = platform::FromCp932(text);
    if (row == 0)
        QCOMPARE(grid.model()->headerData(col, Qt::Horizontal).toString(), shown);
    else
        QCOMPARE(grid.model()->index(row - 1, col).data().toString(), shown);
    for (int r = 0; r < grid.RowCount(); ++r)
        for (int c = 0; c < grid.ColCount(); ++c)
            if (c != col || r != row)
                QCOMPARE(grid.Cell(c, r), std::string());
}

void TestStringGrid::outOfRangeIsIgnored_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");

    QTest::newRow("negative column") << -1 << 1;
    QTest::newRow("column past the end") << 5 << 1;
    QTest::newRow("negative row") << 0 << -1;
    QTest::newRow("row past the end") << 0 << 5;
}

void TestStringGrid::outOfRangeIsIgnored()
{
    QFETCH(int, col);
    QFETCH(int, row);
    TStringGrid grid;

    grid.SetCell(col, row, "x");

    QCOMPARE(grid.Cell(col, row), std::string());
    for (int r = 0; r < grid.RowCount(); ++r)
        QCOMPARE(grid.Rows(r), std::vector<std::string>(5));
}

void TestStringGrid::countsKeepAndDiscardAtTheEnd()
{
    TStringGrid grid;
    QCOMPARE(grid.ColCount(), 5);
    QCOMPARE(grid.RowCount(), 5);
    QCOMPARE(grid.FixedRows(), 1);
    for (int r = 0; r < 5; ++r)
        grid.SetCell(0, r, "row" + std::to_string(r));
    grid.SetCell(4, 1, "last column");

    grid.SetRowCount(3);
    grid.SetColCount(4);
    QCOMPARE(grid.RowCount(), 3);
    QCOMPARE(grid.model()->rowCount(), 2);
    QCOMPARE(grid.model()->columnCount(), 4);
    QCOMPARE(grid.Cell(0, 2), "row2");
    QCOMPARE(grid.Cell(0, 3), std::string());

    grid.SetRowCount(6);
    grid.SetColCount(5);
    QCOMPARE(grid.model()->rowCount(), 5);
    QCOMPARE(grid.Cell(0, 0), "row0");
    QCOMPARE(grid.Cell(0, 2), "row2");
    QCOMPARE(grid.Cell(0, 3), std::string());
    QCOMPARE(grid.Cell(0, 4), std::string());
    QCOMPARE(grid.Cell(4, 1), std::string());

    grid.SetRowCount(0);
    grid.SetColCount(0);
    QCOMPARE(grid.RowCount(), 6);
    QCOMPARE(grid.ColCount(), 5);
}

void TestStringGrid::wholeRowsRoundTrip()
{
    TStringGrid grid;
    grid.SetColCount(3);
    grid.SetRows(1, {"a", "b", "c"});
    grid.SetRows(2, {"d"});
    grid.SetRows(3, {"e", "f", "g", "h"});

    QCOMPARE(grid.Rows(1), (std::vector<std::string>{"a", "b", "c"}));
    QCOMPARE(grid.Rows(3), (std::vector<std::string>{"e", "f", "g"}));

    // Exchanging two rows, as sorting does.
    const std::vector<std::string> first = grid.Rows(1);
    grid.SetRows(1, grid.Rows(2));
    grid.SetRows(2, first);
    QCOMPARE(grid.Rows(1), (std::vector<std::string>{"d", "", ""}));
    QCOMPARE(grid.Rows(2), (std::vector<std::string>{"a", "b", "c"}));
    QCOMPARE(grid.Rows(9), std::vector<std::string>(3));
}

void TestStringGrid::optionsMapToTheView()
{
    TStringGrid grid;
    for (TGridOption on : {TGridOption::FixedVertLine, TGridOption::FixedHorzLine, TGridOption::VertLine,
                           TGridOption::HorzLine, TGridOption::RangeSelect})
        QVERIFY(grid.HasOption(on));
    for (TGridOption off : {TGridOption::RowSelect, TGridOption::ColSizing, TGridOption::Editing})
        QVERIFY(!grid.HasOption(off));
    QCOMPARE(grid.selectionBehavior(), QAbstractItemView::SelectItems);
    QCOMPARE(grid.selectionMode(), QAbstractItemView::ContiguousSelection);
    QCOMPARE(grid.horizontalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    QVERIFY(grid.showGrid());

    UseMainWindowOptions(grid);
    QCOMPARE(grid.selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(grid.selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(grid.horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
    QVERIFY(!grid.showGrid());
    grid.AddOption(TGridOption::VertLine);
    QVERIFY(grid.showGrid());
    QCOMPARE(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
}

void TestStringGrid::oneWriteRepaintsOneCell_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<std::string>("before");
    QTest::addColumn<std::string>("after");

    QTest::newRow("body cell") << 2 << 3 << std::string() << ToCp932(QStringLiteral("成功"));
    QTest::newRow("same text again") << 1 << 2 << std::string("same") << std::string("same");
    QTest::newRow("header cell") << 3 << 0 << std::string("old") << std::string("new");
    QTest::newRow("header, same text") << 0 << 0 << std::string("same") << std::string("same");
}

void TestStringGrid::oneWriteRepaintsOneCell()
{
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(std::string, before);
    QFETCH(std::string, after);
    PaintLog log;
    log.grid.SetCell(col, row, before);
    QVERIFY(log.Settle());

    QCOMPARE(log.PaintedBy([&] { log.grid.SetCell(col, row, after); }), Cells{QPoint(col, row)});
}

void TestStringGrid::repaintRowRepaintsThatRow_data()
{
    QTest::addColumn<int>("row");

    QTest::newRow("body row") << 2;
    QTest::newRow("last row") << 5;
    QTest::newRow("header row") << 0;
}

void TestStringGrid::repaintRowRepaintsThatRow()
{
    QFETCH(int, row);
    PaintLog log;
    QVERIFY(log.Settle());

    const Cells expected{QPoint(0, row), QPoint(1, row), QPoint(2, row), QPoint(3, row), QPoint(4, row)};
    QCOMPARE(log.PaintedBy([&] { log.grid.RepaintRow(row); }), expected);
}

void TestStringGrid::cellGeometry_data()
{
    QTest::addColumn<bool>("lines");
    QTest::addColumn<int>("line");

    QTest::newRow("grid lines") << true << 1;
    QTest::newRow("no lines") << false << 0;
}

// Handler rectangles are the cells less the grid line, 15 px rows, the
// header row included, and columns as wide as set.
void TestStringGrid::cellGeometry()
{
    QFETCH(bool, lines);
    QFETCH(int, line);
    PaintLog log;
    TStringGrid &grid = log.grid;
    if (!lines) {
        grid.RemoveOption(TGridOption::VertLine);
        grid.RemoveOption(TGridOption::HorzLine);
    }
    grid.SetColWidth(1, 80);
    QMap<std::pair<int, int>, QRect> rects;
    grid.OnDrawCell = [&](QObject *sender, int ACol, int ARow, const QRect &Rect, TGridDrawState) {
        QCOMPARE(sender, &grid);
        rects[{ACol, ARow}] = Rect;
    };
    grid.viewport()->update();
    grid.horizontalHeader()->viewport()->update();
    QTRY_VERIFY(rects.contains({2, 3}) && rects.contains({2, 0}));

    QCOMPARE(grid.ColWidth(0), TStringGrid::DefaultColWidth);
    QCOMPARE(grid.ColWidth(1), 80);
    QCOMPARE(grid.ColWidth(7), TStringGrid::DefaultColWidth);
    QCOMPARE(grid.horizontalHeader()->height(), TStringGrid::DefaultRowHeight);
    QCOMPARE(grid.rowHeight(0), TStringGrid::DefaultRowHeight);
    QCOMPARE(grid.viewport()->mapTo(&grid, QPoint(0, 0)).y() - grid.horizontalHeader()->mapTo(&grid, QPoint(0, 0)).y(),
             TStringGrid::DefaultRowHeight);
    QCOMPARE(rects.value({2, 0}), QRect(200, 0, 120, 15));
    QCOMPARE(rects.value({2, 3}), QRect(200, 30, 120 - line, 15 - line));
    QCOMPARE(rects.value({1, 1}), QRect(120, 0, 80 - line, 15 - line));
}

void TestStringGrid::noHorizontalScrollBar()
{
    PaintLog log;
    TStringGrid &grid = log.grid;
    for (int col = 0; col < grid.ColCount(); ++col)
        grid.SetColWidth(col, 300);
    grid.SetRowCount(100);
    QVERIFY(log.Settle());

    QTRY_VERIFY(grid.verticalScrollBar()->isVisible());
    QVERIFY(!grid.horizontalScrollBar()->isVisible());
}

// The standard fill goes first, so a handler painting half a cell leaves
// the other half standard; the standard text goes under what it paints.
void TestStringGrid::handlerPaintsOverStandardPainting()
{
    PaintLog log;
    TStringGrid &grid = log.grid;
    UseMainWindowOptions(grid);
    grid.SetRow(2);
    grid.SetCell(1, 1, ToCp932(QStringLiteral("■■■■■■■■")));
    log.Paint = [&](int ACol, int ARow, const QRect &Rect, TGridDrawState) {
        if (ACol != 1)
            return;
        grid.Canvas().SetBrushColor(Qt::red);
        grid.Canvas().FillRect(ARow == 2 ? QRect(Rect.topLeft(), QSize(Rect.width() / 2, Rect.height())) : Rect);
    };
    QVERIFY(log.Settle());

    const QImage image = Pixels(grid.viewport());
    const QRect selected = CellRect(grid, 1, 2);
    QCOMPARE(image.pixelColor(selected.left() + 2, selected.center().y()), QColor(Qt::red));
    QCOMPARE(image.pixelColor(selected.right() - 2, selected.center().y()), Role(grid, QPalette::Highlight));
    const QRect withText = CellRect(grid, 1, 1);
    for (int x = withText.left(); x <= withText.right(); ++x)
        QCOMPARE(image.pixelColor(x, withText.center().y()), QColor(Qt::red));

    log.Paint = nullptr;
    grid.RepaintRow(1);
    QTRY_VERIFY(Pixels(grid.viewport()).pixelColor(withText.center()) != QColor(Qt::red));
    const QImage plain = Pixels(grid.viewport());
    bool textShown = false;
    for (int x = withText.left(); x <= withText.right(); ++x)
        textShown |= plain.pixelColor(x, withText.center().y()) != Role(grid, QPalette::Base);
    QVERIFY(textShown);
}

// A header section is filled with the button colour, then the handler
// paints, then the raised edges go over both.
void TestStringGrid::headerFrameGoesOverTheHandler()
{
    PaintLog log;
    TStringGrid &grid = log.grid;
    log.Paint = [&](int ACol, int ARow, const QRect &Rect, TGridDrawState State) {
        QCOMPARE(State.Fixed, ARow == 0);
        if (ARow != 0 || ACol != 1)
            return;
        grid.Canvas().SetBrushColor(Qt::green);
        grid.Canvas().FillRect(QRect(Rect.topLeft(), QSize(Rect.width() / 2, Rect.height())));
    };
    QVERIFY(log.Settle());

    const QImage image = Pixels(grid.horizontalHeader()->viewport());
    const int left = grid.ColWidth(0);
    const int middle = TStringGrid::DefaultRowHeight / 2;
    QCOMPARE(image.pixelColor(left + 10, middle), QColor(Qt::green));
    QCOMPARE(image.pixelColor(left + grid.ColWidth(1) - 10, middle), Role(grid, QPalette::Button));
    QCOMPARE(image.pixelColor(left + 10, 0), Role(grid, QPalette::Light));
    QCOMPARE(image.pixelColor(left, middle), Role(grid, QPalette::Light));
    QCOMPARE(image.pixelColor(left + 10, TStringGrid::DefaultRowHeight - 1), Role(grid, QPalette::Dark));
}

void TestStringGrid::selectedRowIsHighlighted()
{
    PaintLog log;
    TStringGrid &grid = log.grid;
    UseMainWindowOptions(grid);
    grid.OnDrawCell = nullptr;
    grid.SetRow(3);
    QTRY_COMPARE(Pixels(grid.viewport()).pixelColor(CellCenter(grid, 0, 3)), Role(grid, QPalette::Highlight));

    const QImage image = Pixels(grid.viewport());
    for (int col = 0; col < grid.ColCount(); ++col) {
        QCOMPARE(image.pixelColor(CellCenter(grid, col, 3)), Role(grid, QPalette::Highlight));
        QCOMPARE(image.pixelColor(CellCenter(grid, col, 2)), Role(grid, QPalette::Base));
    }

    grid.DefaultDrawing = false;
    grid.RepaintRow(3);
    QTRY_COMPARE(Pixels(grid.viewport()).pixelColor(CellCenter(grid, 0, 3)), Role(grid, QPalette::Base));
}

void TestStringGrid::focusFrameGoesOverTheCurrentRow_data()
{
    QTest::addColumn<bool>("wholeRows");

    QTest::newRow("whole rows") << true;
    QTest::newRow("single cells") << false;
}

// Unfocused, a row the handler paints all green stays green to its edges;
// focused, a frame shows along the current row's whole outline, over the
// handler's colour, and nowhere else, and follows the current row.
void TestStringGrid::focusFrameGoesOverTheCurrentRow()
{
    QFETCH(bool, wholeRows);
    PaintLog log;
    TStringGrid &grid = log.grid;
    UseMainWindowOptions(grid);
    if (!wholeRows)
        grid.RemoveOption(TGridOption::RowSelect);
    log.Paint = [&](int, int ARow, const QRect &Rect, TGridDrawState) {
        if (ARow == 0)
            return;
        grid.Canvas().SetBrushColor(Qt::green);
        grid.Canvas().FillRect(Rect);
    };
    grid.SetRow(2);
    QVERIFY(log.Settle());
    QVERIFY(QTest::qWaitForWindowActive(&grid));
    const auto rowRect = [&](int ARow) {
        return CellRect(grid, 0, ARow).united(CellRect(grid, grid.ColCount() - 1, ARow));
    };
    // How many pixels of a line across the viewport are not green.
    const auto framed = [&](QPoint from, int dx, int dy, int length) {
        const QImage image = Pixels(grid.viewport());
        int count = 0;
        for (int i = 0; i < length; ++i)
            count += image.pixelColor(from + i * QPoint(dx, dy)) != QColor(Qt::green);
        return count;
    };
    const QRect row = rowRect(2);
    const auto top = [&] { return framed(row.topLeft(), 1, 0, row.width()); };

    grid.clearFocus();
    QTRY_COMPARE(top(), 0);
    QCOMPARE(framed(row.bottomLeft(), 1, 0, row.width()), 0);

    grid.setFocus();
    QTRY_VERIFY(top() >= row.width() / 3);
    QVERIFY(framed(row.bottomLeft(), 1, 0, row.width()) >= row.width() / 3);
    QVERIFY(framed(row.topLeft(), 0, 1, row.height()) > 0);
    QVERIFY(framed(row.topRight(), 0, 1, row.height()) > 0);
    QCOMPARE(framed(row.topLeft() + QPoint(3, 3), 1, 0, row.width() - 6), 0);
    QCOMPARE(framed(row.topLeft() - QPoint(0, 1), 1, 0, row.width()), 0);
    QCOMPARE(framed(row.bottomLeft() + QPoint(0, 1), 1, 0, row.width()), 0);

    // grab() paints afresh, so only the cells repainted show a stale frame.
    QVERIFY(log.Settle());
    const Cells repainted = log.PaintedBy([&] { grid.SetRow(3); });
    for (int col = 0; col < grid.ColCount(); ++col) {
        QVERIFY(repainted.contains(QPoint(col, 2)));
        QVERIFY(repainted.contains(QPoint(col, 3)));
    }
    const QRect next = rowRect(3);
    QVERIFY(framed(next.topLeft(), 1, 0, next.width()) >= next.width() / 3);
    QCOMPARE(top(), 0);
    QCOMPARE(framed(row.topLeft(), 0, 1, row.height()), 0);
}

void TestStringGrid::inflateRect_data()
{
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("dy");
    QTest::addColumn<QRect>("inflated");

    // The Windows RECT {10, 20, 110, 35} shrunk to {12, 21, 108, 34}.
    QTest::newRow("shrink") << QRect(10, 20, 100, 15) << -2 << -1 << QRect(12, 21, 96, 13);
    QTest::newRow("grow") << QRect(10, 20, 100, 15) << 3 << 4 << QRect(7, 16, 106, 23);
}

void TestStringGrid::inflateRect()
{
    QFETCH(QRect, rect);
    QFETCH(int, dx);
    QFETCH(int, dy);
    QFETCH(QRect, inflated);

    platform::InflateRect(rect, dx, dy);
    QCOMPARE(rect, inflated);
}

// The text's line starts at the rect's top left corner; nothing is drawn
// outside the rect, right and bottom edges excluded.
void TestStringGrid::drawTextPlacesAndClips()
{
    const std::string squares = ToCp932(QStringLiteral("■■■■■■■■■■■■"));
    const QRect rect(12, 21, 40, 13);

    QImage expected(120, 50, QImage::Format_RGB32);
    expected.fill(Qt::white);
    {
        QPainter painter(&expected);
        painter.setPen(Qt::black);
        painter.setClipRect(rect);
        painter.drawText(QPointF(rect.left(), rect.top() + painter.fontMetrics().ascent()),
                         platform::FromCp932(squares));
    }
    const QImage image = Drawn(squares, -1, rect, platform::DT_LEFT | platform::DT_TOP);
    QCOMPARE(image, expected);

    const QRect ink = Ink(image);
    QVERIFY(rect.contains(ink));
    QCOMPARE(ink.right(), rect.right());

    // One line centred both ways.
    const std::string square = ToCp932(QStringLiteral("■"));
    const QRect wide(0, 0, 120, 50);
    const QRect centred =
        Ink(Drawn(square, -1, wide, platform::DT_CENTER | platform::DT_VCENTER | platform::DT_SINGLELINE));
    const QRect topLeft = Ink(Drawn(square, -1, wide, 0));
    QVERIFY(qAbs(centred.left() - (wide.width() - centred.right() - 1)) <= 1);
    QVERIFY(centred.top() > topLeft.top() + 10);

    // The height drawn, or from the top down to the bottom of one centred line.
    QImage image2(wide.size(), QImage::Format_RGB32);
    QPainter painter(&image2);
    QRect area = wide;
    const int line = platform::DrawTextA(&painter, square, -1, area, 0);
    QCOMPARE(line, painter.fontMetrics().height());
    QCOMPARE(platform::DrawTextA(&painter, "A\nB", -1, area, 0), 2 * line);
    QVERIFY(qAbs(platform::DrawTextA(&painter, square, -1, area, platform::DT_VCENTER | platform::DT_SINGLELINE) -
                 (wide.height() + line) / 2) <= 1);
    QCOMPARE(platform::DrawTextA(nullptr, square, -1, area, 0), 0);
    QCOMPARE(area, wide);
}

void TestStringGrid::drawTextCountsBytesAndPrefixes_data()
{
    QTest::addColumn<std::string>("text");
    QTest::addColumn<int>("length");
    QTest::addColumn<unsigned>("format");
    QTest::addColumn<std::string>("same");
    QTest::addColumn<unsigned>("sameFormat");

    const std::string success = ToCp932(QStringLiteral("成功"));
    QTest::newRow("-1 stops at the zero byte") << std::string("AB\0CD", 5) << -1 << 0u << std::string("AB") << 0u;
    QTest::newRow("length counts bytes") << success << 2 << 0u << ToCp932(QStringLiteral("成")) << 0u;
    QTest::newRow("length past the end") << success << 40 << 0u << success << 0u;
    QTest::newRow("CR LF breaks a line") << std::string("A\r\nB") << -1 << 0u << std::string("A\nB") << 0u;
    QTest::newRow("CR breaks a line") << std::string("A\rB") << -1 << 0u << std::string("A\nB") << 0u;
    QTest::newRow("one line keeps no break")
        << std::string("A\nB") << -1 << platform::DT_SINGLELINE << std::string("A B") << platform::DT_SINGLELINE;
    QTest::newRow("double ampersand") << std::string("A&&B") << -1 << 0u << std::string("A&B") << platform::DT_NOPREFIX;
}

void TestStringGrid::drawTextCountsBytesAndPrefixes()
{
    QFETCH(std::string, text);
    QFETCH(int, length);
    QFETCH(unsigned, format);
    QFETCH(std::string, same);
    QFETCH(unsigned, sameFormat);
    const QRect rect(4, 4, 100, 30);

    const QImage image = Drawn(text, length, rect, format);
    QVERIFY(!Ink(image).isEmpty());
    QCOMPARE(image, Drawn(same, -1, rect, sameFormat));
}

void TestStringGrid::clickOffersTheCellUnderThePointer_data()
{
    QTest::addColumn<bool>("allow");
    QTest::addColumn<int>("rowAfter");

    QTest::newRow("allowed") << true << 3;
    QTest::newRow("refused") << false << 1;
}

void TestStringGrid::clickOffersTheCellUnderThePointer()
{
    QFETCH(bool, allow);
    QFETCH(int, rowAfter);
    PaintLog log;
    TStringGrid &grid = log.grid;
    UseMainWindowOptions(grid);
    grid.SetRow(1);
    QVERIFY(log.Settle());
    Cells offered;
    grid.OnSelectCell = [&](QObject *sender, int ACol, int ARow, bool &CanSelect) {
        QCOMPARE(sender, &grid);
        offered.append(QPoint(ACol, ARow));
        CanSelect = allow;
    };

    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellCenter(grid, 2, 3));

    QCOMPARE(offered, Cells{QPoint(2, 3)});
    QCOMPARE(grid.Row(), rowAfter);
    QCOMPARE(SelectedRows(grid), QList<int>{rowAfter});
}

void TestStringGrid::dragOffersEachCellReached()
{
    PaintLog log;
    TStringGrid &grid = log.grid;
    UseMainWindowOptions(grid);
    QVERIFY(log.Settle());
    Cells offered;
    grid.OnSelectCell = [&](QObject *, int ACol, int ARow, bool &CanSelect) {
        offered.append(QPoint(ACol, ARow));
        CanSelect = ARow != 4;
    };

    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, CellCenter(grid, 1, 2));
    QTest::mouseMove(grid.viewport(), CellCenter(grid, 1, 3));
    QTest::mouseMove(grid.viewport(), CellCenter(grid, 1, 4));
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, CellCenter(grid, 1, 4));

    QCOMPARE(offered, (Cells{QPoint(1, 2), QPoint(1, 3), QPoint(1, 4)}));
    QCOMPARE(grid.Row(), 3);
    QCOMPARE(SelectedRows(grid), QList<int>{3});
}

void TestStringGrid::keyOffersColumnZeroOfTheTargetRow_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("allow");
    QTest::addColumn<int>("target");

    for (bool allow : {true, false}) {
        const char *how = allow ? "allowed" : "refused";
        QTest::addRow("down, %s", how) << int(Qt::Key_Down) << allow << 4;
        QTest::addRow("up, %s", how) << int(Qt::Key_Up) << allow << 2;
        QTest::addRow("home, %s", how) << int(Qt::Key_Home) << allow << 1;
        QTest::addRow("end, %s", how) << int(Qt::Key_End) << allow << 5;
        QTest::addRow("page down, %s", how) << int(Qt::Key_PageDown) << allow << 5;
        QTest::addRow("page up, %s", how) << int(Qt::Key_PageUp) << allow << 1;
    }
}

// The current cell starts in column 2 of row 3.
void TestStringGrid::keyOffersColumnZeroOfTheTargetRow()
{
    QFETCH(int, key);
    QFETCH(bool, allow);
    QFETCH(int, target);
    PaintLog log;
    TStringGrid &grid = log.grid;
    UseMainWindowOptions(grid);
    QVERIFY(log.Settle());
    grid.setCurrentIndex(grid.model()->index(2, 2));
    Cells offered;
    grid.OnSelectCell = [&](QObject *, int ACol, int ARow, bool &CanSelect) {
        offered.append(QPoint(ACol, ARow));
        CanSelect = allow;
    };

    QTest::keyClick(&grid, Qt::Key(key));

    QCOMPARE(offered, Cells{QPoint(0, target)});
    QCOMPARE(grid.Row(), allow ? target : 3);
    QCOMPARE(SelectedRows(grid), QList<int>{allow ? target : 3});
}

void TestStringGrid::clicksOffTheBodySelectNothing_data()
{
    QTest::addColumn<bool>("sizing");
    QTest::addColumn<int>("widthAfterDrag");

    QTest::newRow("sizing") << true << TStringGrid::DefaultColWidth + 30;
    QTest::newRow("fixed") << false << TStringGrid::DefaultColWidth;
}

// Neither header sections nor the space below the last row can be clicked
// or selected; header borders are dragged when columns are sizable.
void TestStringGrid::clicksOffTheBodySelectNothing()
{
    QFETCH(bool, sizing);
    QFETCH(int, widthAfterDrag);
    PaintLog log;
    TStringGrid &grid = log.grid;
    UseMainWindowOptions(grid);
    if (!sizing)
        grid.RemoveOption(TGridOption::ColSizing);
    grid.SetRow(2);
    QVERIFY(log.Settle());
    Cells offered;
    grid.OnSelectCell = [&](QObject *, int ACol, int ARow, bool &) { offered.append(QPoint(ACol, ARow)); };
    QWidget *header = grid.horizontalHeader()->viewport();

    QTest::mouseClick(header, Qt::LeftButton, {}, QPoint(grid.ColWidth(0) + 40, 7));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(40, grid.viewport()->height() - 5));
    const QPoint border(grid.ColWidth(0) - 1, 7);
    QTest::mousePress(header, Qt::LeftButton, {}, border);
    QTest::mouseMove(header, border + QPoint(30, 0));
    QTest::mouseRelease(header, Qt::LeftButton, {}, border + QPoint(30, 0));

    QCOMPARE(offered, Cells{});
    QCOMPARE(grid.Row(), 2);
    QCOMPARE(SelectedRows(grid), QList<int>{2});
    QCOMPARE(grid.ColWidth(0), widthAfterDrag);
}

QTEST_MAIN(TestStringGrid)
#include "tst_stringgrid.moc"
