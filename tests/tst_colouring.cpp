// The host table's colouring: pixels of the real window on the offscreen
// platform, what a sweep report repaints, and the outcome rule itself.
#include "monitor/MonitorSettings.h"
#include "monitor/OutcomeColour.h"
#include "monitor/main.h"
#include "platform/Colors.h"
#include "platform/Cp932.h"
#include "platform/DrawText.h"
#include "tests/support/ScriptedPlatform.h"

#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include <algorithm>

using platform::DT_CENTER;
using platform::DT_SINGLELINE;
using platform::DT_VCENTER;
using platform::TGridDrawState;
using platform::TStringGrid;

using Row = QStringList;     // success, results, message, host, note
using Cells = QList<QPoint>; // (column, row) pairs

namespace {

constexpr int Columns = 6;
constexpr unsigned HeaderFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

// The main window with host rows written straight into its grid, shown, and
// every handler call logged.
class HostTable {
public:
    explicit HostTable(const QList<Row> &rows)
    {
        TStringGrid &grid = Grid();
        grid.SetRowCount(static_cast<int>(rows.size()) + 2);
        for (int row = 1; row <= rows.size(); ++row)
            for (int column = 0; column < rows[row - 1].size(); ++column)
                grid.SetCell(column, row, platform::ToCp932(rows[row - 1][column]));
        // Narrow enough for all six columns to be in view.
        for (int column = 0; column < Columns - 1; ++column)
            grid.SetColWidth(column, 55);
        const auto bound = grid.OnDrawCell;
        grid.OnDrawCell = [this, bound](QObject *Sender, int ACol, int ARow, const QRect &Rect, TGridDrawState State) {
            Painted.append(QPoint(ACol, ARow));
            if (bound)
                bound(Sender, ACol, ARow, Rect, State);
        };
        Form.show();
    }

    TStringGrid &Grid() { return *Form.MainViewSGrid; }

    QColor Role(QPalette::ColorRole role) { return Grid().palette().color(QPalette::Active, role); }

    // A cell as painted now: header sections from the header, body cells
    // from the viewport, cut to what is in view.
    QImage Cell(int ACol, int ARow)
    {
        QHeaderView *header = Grid().horizontalHeader();
        QWidget *surface = ARow == 0 ? header->viewport() : Grid().viewport();
        const QRect rect =
            (ARow == 0 ? QRect(header->sectionViewportPosition(ACol), 0, header->sectionSize(ACol), header->height())
                       : Grid().visualRect(Grid().model()->index(ARow - 1, ACol)))
                .intersected(surface->rect());
        return surface->grab(rect).toImage().convertToFormat(QImage::Format_RGB32);
    }

    // A whole body row as painted now.
    QImage RowPixels(int ARow)
    {
        const QRect rect = Grid()
                               .visualRect(Grid().model()->index(ARow - 1, 0))
                               .united(Grid().visualRect(Grid().model()->index(ARow - 1, Columns - 1)))
                               .intersected(Grid().viewport()->rect());
        return Grid().viewport()->grab(rect).toImage().convertToFormat(QImage::Format_RGB32);
    }

    // A cell as it should look: filled, its text in black from 2 px in and
    // 1 px down, cut 2 px before the right edge and 1 px above the bottom.
    QImage Expected(int ACol, int ARow, const QColor &fill, unsigned format = 0)
    {
        const QImage actual = Cell(ACol, ARow);
        const int width = Grid().ColWidth(ACol);
        QImage image(width, actual.height(), QImage::Format_RGB32);
        image.fill(fill);
        QPainter painter(&image);
        painter.setFont(Grid().font());
        painter.setPen(Qt::black);
        QRect textRect(2, 1, width - 4, image.height() - 2);
        platform::DrawTextA(&painter, Grid().Cell(ACol, ARow), -1, textRect, format);
        painter.end();
        return image.copy(0, 0, actual.width(), actual.height());
    }

    // Lets event-loop turns run until one paints nothing.
    bool Settle()
    {
        for (int turn = 0; turn < 20; ++turn) {
            const qsizetype before = Painted.size();
            QCoreApplication::processEvents();
            if (Painted.size() == before)
                return true;
        }
        return false;
    }

    // The cells painted since the last call, by row and column.
    Cells TakePainted()
    {
        Cells cells = Painted;
        Painted.clear();
        std::sort(cells.begin(), cells.end(),
                  [](QPoint a, QPoint b) { return std::pair(a.y(), a.x()) < std::pair(b.y(), b.x()); });
        return cells;
    }

    TMainForm Form;

private:
    Cells Painted;
};

Cells WholeRow(int ARow)
{
    Cells cells;
    for (int column = 0; column < Columns; ++column)
        cells.append(QPoint(column, ARow));
    return cells;
}

// The smallest rectangle holding every pixel not of the background colour.
QRect Ink(const QImage &image, const QColor &background)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != background)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

bool SweepOver(TMainForm &form) { return form.PendingCount == 0 && form.RetrieveBtn->isEnabled(); }

// Invalid: the window colour, no outcome colour.
const QColor Window;

} // namespace

class TestColouring : public QObject {
    Q_OBJECT

private slots:
    void init() { MonitorSettings = TMonitorSettings{}; }

    void rowColouredByOutcome_data();
    void rowColouredByOutcome();
    void headerRow();
    void selectedRowLooksUnselected_data();
    void selectedRowLooksUnselected();
    void headerAndBlankRowNeverColoured();
    void textPlacedAndCut_data();
    void textPlacedAndCut();
    void reportRepaintsItsRowOnly();

    void outcomeColour_data();
    void outcomeColour();
};

void TestColouring::rowColouredByOutcome_data()
{
    QTest::addColumn<QString>("successes");
    QTest::addColumn<QString>("results");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("never swept") << ""
                                 << "" << Window;
    QTest::newRow("no success count") << ""
                                      << "3" << Window;
    QTest::newRow("no result count") << "3"
                                     << "" << Window;
    QTest::newRow("sweep started, no result yet") << "0"
                                                  << "0" << Window;
    QTest::newRow("none of 3") << "0"
                               << "3" << platform::clFuchsia;
    QTest::newRow("2 of 3") << "2"
                            << "3" << platform::clYellow;
    QTest::newRow("3 of 3") << "3"
                            << "3" << platform::clAqua;
    QTest::newRow("hexadecimal counts") << "$3"
                                        << "$3" << Window;
}

// Every column takes the row's colour, the note and the filler included,
// with its own text in black on it.
void TestColouring::rowColouredByOutcome()
{
    QFETCH(QString, successes);
    QFETCH(QString, results);
    QFETCH(QColor, colour);
    HostTable table(
        {{successes, results, "10.0.0.1", "10.0.0.1", "note"}, {"1", "1", "10.0.0.2", "10.0.0.2", "other"}});
    QVERIFY(QTest::qWaitForWindowExposed(&table.Form));

    const QColor fill = colour.isValid() ? colour : table.Role(QPalette::Base);
    for (int column = 0; column < Columns; ++column)
        QVERIFY2(table.Cell(column, 1) == table.Expected(column, 1, fill), qPrintable(QString::number(column)));
    // The next row keeps to its own counts.
    QVERIFY(table.Cell(4, 2) == table.Expected(4, 2, platform::clAqua));
}

// Button colour, black text centred on one line, the filler's header empty;
// the raised edges go round the inside.
void TestColouring::headerRow()
{
    HostTable table({});
    QVERIFY(QTest::qWaitForWindowExposed(&table.Form));
    const QColor button = table.Role(QPalette::Button);

    for (int column = 0; column < Columns; ++column) {
        const QImage cell = table.Cell(column, 0);
        const QRect inside = cell.rect().adjusted(1, 1, -1, -1);
        QVERIFY2(cell.copy(inside) == table.Expected(column, 0, button, HeaderFormat).copy(inside),
                 qPrintable(QString::number(column)));
    }
    const QImage first = table.Cell(0, 0);
    const QRect ink = Ink(first.copy(first.rect().adjusted(1, 1, -1, -1)), button);
    QVERIFY(!ink.isEmpty());
    QVERIFY(std::abs(ink.left() - (first.width() - 2 - 1 - ink.right())) <= 1);
}

void TestColouring::selectedRowLooksUnselected_data()
{
    QTest::addColumn<QString>("successes");
    QTest::addColumn<QString>("results");

    QTest::newRow("window colour") << ""
                                   << "";
    QTest::newRow("none answered") << "0"
                                   << "2";
    QTest::newRow("all answered") << "2"
                                  << "2";
}

// Selecting a row changes no pixel; with the keyboard focus on the table
// only a frame round the row marks it.
void TestColouring::selectedRowLooksUnselected()
{
    QFETCH(QString, successes);
    QFETCH(QString, results);
    HostTable table({{"1", "2", "10.0.0.1", "10.0.0.1", ""}, {successes, results, "10.0.0.2", "10.0.0.2", "note"}});
    TStringGrid &grid = table.Grid();
    QVERIFY(QTest::qWaitForWindowExposed(&table.Form));
    const QImage unselected = table.RowPixels(2);

    grid.SetRow(2);
    QVERIFY(grid.selectionModel()->isRowSelected(1));
    QVERIFY(!grid.hasFocus());
    QCOMPARE(table.RowPixels(2), unselected);

    table.Form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&table.Form));
    grid.setFocus();
    QTRY_VERIFY(grid.hasFocus());
    const QImage focused = table.RowPixels(2);
    const QRect inside = focused.rect().adjusted(1, 1, -1, -1);
    QCOMPARE(focused.copy(inside), unselected.copy(inside));
    QVERIFY(focused != unselected);
}

// Counts in the header cells or in the trailing blank row colour nothing;
// once the blank row becomes a host row, the same texts colour it.
void TestColouring::headerAndBlankRowNeverColoured()
{
    HostTable table({{"3", "3", "10.0.0.1", "10.0.0.1", ""}});
    TStringGrid &grid = table.Grid();
    grid.SetCell(0, 0, "0");
    grid.SetCell(1, 0, "3");
    grid.SetRows(2, {"0", "3", "stale", "", "note"});
    QVERIFY(QTest::qWaitForWindowExposed(&table.Form));

    for (int column = 0; column < Columns; ++column) {
        QVERIFY(table.Cell(column, 2) == table.Expected(column, 2, table.Role(QPalette::Base)));
        const QImage header = table.Cell(column, 0);
        const QRect inside = header.rect().adjusted(1, 1, -1, -1);
        QVERIFY(header.copy(inside) ==
                table.Expected(column, 0, table.Role(QPalette::Button), HeaderFormat).copy(inside));
    }

    grid.SetRowCount(4);
    for (int column = 0; column < Columns; ++column)
        QVERIFY(table.Cell(column, 2) == table.Expected(column, 2, platform::clFuchsia));
}

void TestColouring::textPlacedAndCut_data()
{
    QTest::addColumn<QString>("successes");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("window colour") << "" << Window;
    QTest::newRow("all answered") << "1" << platform::clAqua;
}

// The text starts 2 px right of and 1 px below the cell's corner, wherever
// its glyphs put ink; a text too long for its cell stops 2 px before the
// right edge and leaves the bottom row clear.
void TestColouring::textPlacedAndCut()
{
    QFETCH(QString, successes);
    QFETCH(QColor, colour);
    const QString longText = QString(40, QLatin1Char('W'));
    HostTable table({{successes, "1", "10.0.0.1", "10.0.0.1", longText}});
    QVERIFY(QTest::qWaitForWindowExposed(&table.Form));
    const QColor fill = colour.isValid() ? colour : table.Role(QPalette::Base);

    QImage unplaced(200, 40, QImage::Format_RGB32);
    unplaced.fill(fill);
    {
        QPainter painter(&unplaced);
        painter.setFont(table.Grid().font());
        painter.setPen(Qt::black);
        painter.drawText(unplaced.rect(), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("10.0.0.1"));
    }
    QCOMPARE(Ink(table.Cell(3, 1), fill).topLeft(), Ink(unplaced, fill).topLeft() + QPoint(2, 1));

    const QImage cut = table.Cell(4, 1);
    QVERIFY(QFontMetrics(table.Grid().font()).horizontalAdvance(longText) > cut.width());
    const QRect ink = Ink(cut, fill);
    QVERIFY(ink.right() <= cut.width() - 3);
    QVERIFY(ink.bottom() <= cut.height() - 2);
    QVERIFY(cut == table.Expected(4, 1, fill));
}

// A report rewrites its row's texts and repaints that row, each cell once,
// and nothing else; a later write of one cell repaints that cell alone.
void TestColouring::reportRepaintsItsRowOnly()
{
    ScriptedPlatform platform;
    HostTable table({{"", "", "", "a.invalid", ""}, {"", "", "", "10.0.0.2", ""}, {"", "", "", "c.invalid", ""}});
    TStringGrid &grid = table.Grid();
    QVERIFY(QTest::qWaitForWindowExposed(&table.Form));
    // Another window is active: the end of a sweep then leaves the focus
    // alone, and a focus change would repaint the whole view.
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));

    platform.Hold();
    table.Form.RetrieveBtn->click();
    // The names that cannot be resolved have had their report and are done;
    // row 2 waits on its echo.
    QTRY_COMPARE(platform.Sends().size(), size_t{1});
    QTRY_COMPARE(table.Form.PendingCount, 1);
    QVERIFY(table.Settle());
    table.TakePainted();

    platform.Release();
    QTRY_VERIFY(SweepOver(table.Form));
    QCOMPARE(grid.Cell(2, 2), std::string("10.0.0.2"));
    QVERIFY(table.Settle());
    QCOMPARE(table.TakePainted(), WholeRow(2));
    for (int column = 0; column < Columns; ++column) {
        QVERIFY(table.Cell(column, 1) == table.Expected(column, 1, platform::clFuchsia));
        QVERIFY(table.Cell(column, 2) == table.Expected(column, 2, platform::clAqua));
    }
    table.TakePainted();

    grid.SetCell(4, 2, "note");
    QVERIFY(table.Settle());
    QCOMPARE(table.TakePainted(), Cells{QPoint(4, 2)});
    QVERIFY(table.Cell(4, 2) == table.Expected(4, 2, platform::clAqua));
}

void TestColouring::outcomeColour_data()
{
    QTest::addColumn<QString>("successes");
    QTest::addColumn<QString>("results");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("both empty") << ""
                                << "" << QColor();
    QTest::newRow("successes empty") << ""
                                     << "2" << QColor();
    QTest::newRow("results empty") << "2"
                                   << "" << QColor();
    QTest::newRow("0 of 0") << "0"
                            << "0" << QColor();
    QTest::newRow("0 of 1") << "0"
                            << "1" << platform::clFuchsia;
    QTest::newRow("1 of 2") << "1"
                            << "2" << platform::clYellow;
    QTest::newRow("more successes than results") << "3"
                                                 << "2" << platform::clYellow;
    QTest::newRow("successes without results") << "3"
                                               << "0" << platform::clYellow;
    QTest::newRow("2 of 2") << "2"
                            << "2" << platform::clAqua;
    QTest::newRow("equal by value, not by text") << "03"
                                                 << " +3" << platform::clAqua;
    QTest::newRow("00 of 0 by value") << "00"
                                      << "-0" << QColor();
    QTest::newRow("largest count") << "2147483647"
                                   << "2147483647" << platform::clAqua;
    QTest::newRow("past the 32-bit range") << "2147483648"
                                           << "2147483648" << QColor();
    QTest::newRow("hexadecimal with $") << "$10"
                                        << "16" << QColor();
    QTest::newRow("hexadecimal with 0x") << "0"
                                         << "0x10" << QColor();
    QTest::newRow("hexadecimal with x") << "x1"
                                        << "1" << QColor();
    QTest::newRow("trailing space") << "1 "
                                    << "1" << QColor();
    QTest::newRow("sign alone") << "0"
                                << "-" << QColor();
    QTest::newRow("spaces alone") << "  "
                                  << "1" << QColor();
    QTest::newRow("words") << "Ping!"
                           << "1" << QColor();
}

void TestColouring::outcomeColour()
{
    QFETCH(QString, successes);
    QFETCH(QString, results);
    QFETCH(QColor, colour);

    QCOMPARE(OutcomeColour(successes.toStdString(), results.toStdString()).value_or(QColor()), colour);
}

QTEST_MAIN(TestColouring)
#include "tst_colouring.moc"
