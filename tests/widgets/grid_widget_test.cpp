// The grid widget on its own: addressing, row insertion and deletion, searching, hidden columns, cell
// properties, repainting and sorting with its events.
#include "widgets/spread_grid.h"
#include "widgets/spread_model.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

void sendMouse(QWidget* target, QEvent::Type type, Qt::MouseButton button, QPoint at) {
    QMouseEvent e(type, QPointF(at), QPointF(target->mapToGlobal(at)), button,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button),
                  Qt::NoModifier);
    QApplication::sendEvent(target, &e);
}

void click(QWidget* target, Qt::MouseButton button, QPoint at) {
    sendMouse(target, QEvent::MouseButtonPress, button, at);
    sendMouse(target, QEvent::MouseButtonRelease, button, at);
}

// A grid of `cols` columns whose cell (c, r) holds "r.c" for the rows given.
void fill(SpreadGrid& g, int cols, int rows) {
    g.setMaxCols(cols);
    g.setMaxRows(rows);
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c) g.setText(c, r, QStringLiteral("%1.%2").arg(r).arg(c));
}

TEST(GridWidget, AddressingOfCellsHeadersAndRowHeaders) {
    SpreadGrid g;
    fill(g, 3, 4);
    g.setColHeaderRows(2);
    g.setText(2, SpreadGrid::kHeaderRow, QStringLiteral("품명"));
    g.setText(2, SpreadGrid::kHeaderRow + 1, QStringLiteral("단위"));
    g.setText(0, 0, QStringLiteral("No"));
    g.setText(0, 3, QStringLiteral("합계"));

    QString v;
    EXPECT_TRUE(g.getText(2, 3, v));
    EXPECT_EQ(v, QStringLiteral("3.2"));
    EXPECT_EQ(g.text(2, SpreadGrid::kHeaderRow), QStringLiteral("품명"));
    EXPECT_EQ(g.text(2, SpreadGrid::kHeaderRow + 1), QStringLiteral("단위"));
    EXPECT_EQ(g.text(2, 0), QStringLiteral("품명"));  // row 0 is the (first) header row
    EXPECT_EQ(g.text(0, 0), QStringLiteral("No"));
    EXPECT_EQ(g.text(0, 3), QStringLiteral("합계"));
    EXPECT_EQ(g.model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("품명\n단위"));
    EXPECT_EQ(g.model()->headerData(2, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("합계"));
    EXPECT_EQ(g.model()->headerData(1, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("2"));

    // Nothing to read: outside the grid, or an empty cell.
    for (auto [c, r] : {std::pair{4, 1}, {1, 5}, {-1, 1}, {1, -1}, {3, 0}}) {
        EXPECT_FALSE(g.getText(c, r, v)) << c << "," << r;
        EXPECT_TRUE(v.isEmpty());
    }
    g.setText(1, 1, QString());
    EXPECT_FALSE(g.getText(1, 1, v));
    // Writing outside the grid changes nothing.
    g.setText(9, 9, QStringLiteral("x"));
    EXPECT_EQ(g.maxCols(), 3);
    EXPECT_EQ(g.maxRows(), 4);
}

TEST(GridWidget, DeleteAndInsertKeepTheRowCountAndDataRowCntFollows) {
    SpreadGrid g;
    fill(g, 2, 5);
    g.setMaxRows(7);  // two empty rows at the end
    EXPECT_EQ(g.dataRowCnt(), 5);

    g.setRowHidden(3, true);
    g.setBackColor(-1, 4, Qt::green);
    g.deleteRows(2, 1);
    EXPECT_EQ(g.maxRows(), 7);
    EXPECT_EQ(g.dataRowCnt(), 4);
    EXPECT_EQ(g.text(1, 2), QStringLiteral("3.1"));
    // Row properties travel with their rows.
    EXPECT_TRUE(g.rowHidden(2));
    EXPECT_TRUE(g.isRowHidden(1));
    EXPECT_EQ(g.backColor(1, 3), QColor(Qt::green));

    g.deleteRows(1, 10);  // more than there are: all from row 1
    EXPECT_EQ(g.maxRows(), 7);
    EXPECT_EQ(g.dataRowCnt(), 0);

    fill(g, 2, 3);
    g.insertRows(1, 2);
    EXPECT_EQ(g.maxRows(), 3);  // the last rows drop off the end
    EXPECT_EQ(g.text(1, 3), QStringLiteral("1.1"));
    EXPECT_EQ(g.dataRowCnt(), 3);
    g.setMaxRows(0);
    EXPECT_EQ(g.dataRowCnt(), 0);
}

// The cells keep short texts in the grid's own storage (ASCII as bytes) and long ones as shared strings:
// every kind of text must come
// back as it was written, after overwrites by every other kind, moves of rows and columns, sorting and a
// reload; and a text the grid no longer shows must not stay held by it.
TEST(GridWidget, TextsOfEveryKindSurviveOverwritesMovesAndReloads) {
    const QString kinds[] = {
        QStringLiteral("7"),
        QStringLiteral("1234567"),   // the longest kept in the cell itself
        QStringLiteral("12345678"),  // the shortest kept in the byte store
        QStringLiteral("2026-12-05"),
        QString(255, QLatin1Char('x')),  // the longest kept as bytes
        QString(256, QLatin1Char('y')),
        QString(255, QChar(u'똠')),
        QString(256, QChar(u'가')),
        QStringLiteral("가"),
        QStringLiteral("똠얌 Foods 3"),
        QString::fromUtf16(u"a\0b", 3),  // a NUL inside an ASCII text
        QStringLiteral("é"),             // Latin-1, not ASCII
        QStringLiteral(" \x7f "),
    };
    const int n = int(std::size(kinds));
    SpreadGrid g;
    g.setMaxCols(n);
    g.setMaxRows(n);
    // Row r holds the kinds rotated by r, then every cell is overwritten by the next kind.
    auto kindAt = [&](int col, int row, int shift) { return kinds[(col - 1 + row + shift) % n]; };
    for (int shift = 0; shift < 2; ++shift)
        for (int r = 1; r <= n; ++r)
            for (int c = 1; c <= n; ++c) g.setText(c, r, kindAt(c, r, shift));
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c) ASSERT_EQ(g.text(c, r), kindAt(c, r, 1)) << c << "," << r;
    g.setText(3, 2, QString());
    EXPECT_TRUE(g.text(3, 2).isEmpty());

    g.deleteRows(1, 1);
    g.insertRows(2, 1);
    EXPECT_EQ(g.text(1, 1), kindAt(1, 2, 1));
    EXPECT_TRUE(g.text(1, 2).isEmpty());
    EXPECT_EQ(g.text(1, 3), kindAt(1, 3, 1));
    g.setMaxCols(n - 2);
    g.setMaxCols(n);
    EXPECT_EQ(g.text(n - 2, 3), kindAt(n - 2, 3, 1));
    EXPECT_TRUE(g.text(n, 3).isEmpty());

    g.sortRows(1, true);
    QStringList column;
    for (int r = 1; r <= g.dataRowCnt(); ++r) column << g.text(1, r);
    QStringList sorted = column;
    std::stable_sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        if (a.isEmpty() || b.isEmpty()) return !a.isEmpty() && b.isEmpty();
        return a.localeAwareCompare(b) < 0;
    });
    EXPECT_EQ(column, sorted);

    // A long text that was overwritten, cleared, deleted or dropped by a reload is no longer held.
    QString held = QString(300, QChar(u'한'));
    auto shared = [&] { return !held.isDetached(); };
    for (auto drop : std::initializer_list<std::function<void()>>{
             [&] { g.setText(2, 2, QStringLiteral("12")); },
             [&] { g.setText(2, 2, QStringLiteral("가나")); },
             [&] { g.setText(2, 2, QString()); },
             [&] { g.deleteRows(2, 1); },
             [&] { g.setMaxCols(1); },
             [&] { g.setMaxRows(0); },
         }) {
        g.setMaxCols(n);
        g.setMaxRows(n);
        g.setText(2, 2, held);
        ASSERT_TRUE(shared());
        drop();
        EXPECT_FALSE(shared());
    }

    // A row written in one call: texts past the last column are left out, a row outside the grid is not
    // written, and the row's old texts are replaced.
    g.setMaxCols(3);
    g.setMaxRows(2);
    const QString a = QStringLiteral("가나"), b = QStringLiteral("12.50"), c = QString(),
                  d = QStringLiteral("x");
    const QString* row[] = {&a, &b, &c, &d};
    g.setText(3, 1, QStringLiteral("old"));
    g.setRowTexts(1, 1, row);
    g.setRowTexts(3, 1, row);
    g.setRowTexts(2, 2, row);
    EXPECT_EQ(g.text(1, 1), a);
    EXPECT_EQ(g.text(2, 1), b);
    EXPECT_TRUE(g.text(3, 1).isEmpty());
    EXPECT_EQ(g.text(2, 2), a);
    EXPECT_EQ(g.text(3, 2), b);
    EXPECT_EQ(g.dataRowCnt(), 2);

    // A reload starts empty, and a cell overwritten with long texts again and again leaves its
    // neighbours as they were.
    g.setMaxRows(0);
    g.setMaxRows(3);
    EXPECT_EQ(g.dataRowCnt(), 0);
    g.setText(1, 1, QStringLiteral("2026-12-06"));
    g.setText(1, 3, QString(200, QLatin1Char('z')));
    QString last;
    for (int i = 0; i < 20000; ++i) {
        last = QStringLiteral("%1").arg(i, 120, 10, QLatin1Char('0'));
        g.setText(1, 2, last);
    }
    EXPECT_EQ(g.text(1, 1), QStringLiteral("2026-12-06"));
    EXPECT_EQ(g.text(1, 2), last);
    EXPECT_EQ(g.text(1, 3), QString(200, QLatin1Char('z')));
}

// Rows inserted in the middle start bare; the rows below move down with their own colours and flags.
TEST(GridWidget, RowsInsertedInTheMiddleCarryTheirOwnProperties) {
    SpreadGrid g;
    fill(g, 2, 6);
    g.setBackColor(-1, 2, Qt::green);
    g.setBackColor(-1, 3, Qt::red);
    g.setBackColor(-1, 4, Qt::blue);
    g.setRowHidden(4, true);
    g.insertRows(3, 2);
    EXPECT_EQ(g.maxRows(), 6);
    EXPECT_EQ(g.backColor(1, 2), QColor(Qt::green));
    for (int row : {3, 4}) {
        EXPECT_FALSE(g.backColor(1, row).isValid()) << row;
        EXPECT_FALSE(g.rowHidden(row)) << row;
        EXPECT_TRUE(g.text(1, row).isEmpty()) << row;
    }
    EXPECT_EQ(g.text(1, 5), QStringLiteral("3.1"));
    EXPECT_EQ(g.backColor(1, 5), QColor(Qt::red));
    EXPECT_EQ(g.backColor(2, 6), QColor(Qt::blue));
    EXPECT_TRUE(g.rowHidden(6));
    EXPECT_FALSE(g.rowHidden(5));
}

TEST(GridWidget, SearchesWholeAndPartialAfterAStartPosition) {
    SpreadGrid g;
    g.setMaxCols(4);
    g.setMaxRows(4);
    g.setText(2, 1, QStringLiteral("AB"));
    g.setText(4, 1, QStringLiteral("a"));
    g.setText(3, 3, QStringLiteral("사과 AB"));
    const int partial = SpreadGrid::kSearchPartial;

    EXPECT_EQ(g.searchRow(1, 0, -1, QStringLiteral("A"), 0), 4);  // whole cell, case-insensitive
    EXPECT_EQ(g.searchRow(1, 0, -1, QStringLiteral("A"), partial), 2);
    EXPECT_EQ(g.searchRow(1, 2, -1, QStringLiteral("A"), partial), 4);  // after column 2
    EXPECT_EQ(g.searchRow(1, 4, -1, QStringLiteral("A"), partial), -1);
    EXPECT_EQ(g.searchRow(1, 0, 3, QStringLiteral("a"), 0), -1);  // column 4 lies beyond the end
    EXPECT_EQ(g.searchRow(1, 0, -1, QStringLiteral("a"), SpreadGrid::kSearchCaseSensitive), 4);
    EXPECT_EQ(g.searchCol(3, 0, -1, QStringLiteral("ab"), partial), 3);
    EXPECT_EQ(g.searchCol(3, 3, -1, QStringLiteral("ab"), partial), -1);
    EXPECT_EQ(g.searchCol(2, 0, -1, QStringLiteral("AB"), 0), 1);
    EXPECT_EQ(g.searchRow(1, 0, -1, QString(), partial), -1);  // an empty text matches nothing
    EXPECT_EQ(g.searchRow(9, 0, -1, QStringLiteral("A"), partial), -1);

    // Number cells are searched as they are shown.
    g.setCellType(1, 4, SpreadGrid::CellType::Number);
    g.setTypeNumber(1, 4, {1, true, -1e12, 1e12, true});
    g.setText(1, 4, QStringLiteral("1234.5"));
    EXPECT_EQ(g.searchRow(4, 0, -1, QStringLiteral("1,234.5"), 0), 1);
}

TEST(GridWidget, HiddenColumnsKeepTheirWidth) {
    SpreadGrid g;
    fill(g, 3, 2);
    g.setColWidth(2, 10.83);
    g.setColHidden(2, true);
    EXPECT_TRUE(g.colHidden(2));
    EXPECT_TRUE(g.isColumnHidden(1));
    EXPECT_DOUBLE_EQ(g.colWidth(2), 10.83);
    g.setColHidden(2, false);
    EXPECT_FALSE(g.colHidden(2));
    EXPECT_EQ(g.horizontalHeader()->sectionSize(1), g.colWidthToPixels(10.83));
    // New columns get the default width.
    g.setColWidth(-1, 6);
    g.setMaxCols(5);
    EXPECT_DOUBLE_EQ(g.colWidth(5), 6);
}

TEST(GridWidget, ShownRowsTakeTheHeightOfTodayNotOfWhenTheyWereHidden) {
    SpreadGrid g;
    fill(g, 1, 4);
    g.setRowHidden(2, true);
    g.setRowHeight(3, 40);
    g.setRowHidden(3, true);
    g.setRowHeight(-1, 30);  // e.g. chosen in the context menu while subtotal rows are hidden
    g.setRowHidden(2, false);
    g.setRowHidden(3, false);
    EXPECT_EQ(g.verticalHeader()->sectionSize(1), g.rowHeightToPixels(30));
    EXPECT_EQ(g.verticalHeader()->sectionSize(2), g.rowHeightToPixels(30));
    g.setRowHeight(4, 40);
    g.setRowHidden(4, true);
    g.setRowHidden(4, false);
    EXPECT_EQ(g.verticalHeader()->sectionSize(3), g.rowHeightToPixels(40));
}

TEST(GridWidget, MostSpecificPropertyWinsAndWiderSettingsClearNarrowerOnes) {
    SpreadGrid g;
    fill(g, 3, 3);
    g.setBackColor(2, -1, Qt::gray);   // column
    g.setBackColor(-1, 2, Qt::green);  // row
    g.setBackColor(3, 3, Qt::red);     // cell
    g.setBackColor(2, 3, Qt::blue);    // cell inside the column
    EXPECT_EQ(g.backColor(2, 1), QColor(Qt::gray));
    EXPECT_EQ(g.backColor(2, 2), QColor(Qt::green));
    EXPECT_EQ(g.backColor(3, 3), QColor(Qt::red));
    EXPECT_EQ(g.backColor(2, 3), QColor(Qt::blue));
    EXPECT_FALSE(g.backColor(1, 1).isValid());

    g.setBackColor(2, -1, Qt::yellow);  // the column again: its cell setting goes
    EXPECT_EQ(g.backColor(2, 3), QColor(Qt::yellow));
    EXPECT_EQ(g.backColor(3, 3), QColor(Qt::red));
    g.setBackColor(-1, -1, Qt::white);  // the sheet: everything goes
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c) EXPECT_EQ(g.backColor(c, r), QColor(Qt::white));

    // Locks count only while the grid is protected; static text is never edited.
    g.setLock(1, -1, true);
    EXPECT_FALSE(g.isCellEditable(1, 2));
    EXPECT_TRUE(g.isCellEditable(2, 2));
    g.setProtect(false);
    EXPECT_TRUE(g.isCellEditable(1, 2));
    g.setCellType(2, 2, SpreadGrid::CellType::StaticText);
    EXPECT_FALSE(g.isCellEditable(2, 2));
}

TEST(GridWidget, NumberCellsShowDecimalsSeparatorsAndRedNegatives) {
    SpreadGrid g;
    g.setMaxCols(1);
    g.setMaxRows(3);
    g.setCellType(1, -1, SpreadGrid::CellType::Number);
    g.setTypeNumber(1, -1, {1, true, -1e12, 1e12, true});
    g.setText(1, 1, QStringLiteral("1234567.25"));
    g.setText(1, 2, QStringLiteral("-3"));
    g.setText(1, 3, QStringLiteral("abc"));
    auto shown = [&](int r) { return g.model()->index(r - 1, 0).data().toString(); };
    EXPECT_EQ(shown(1), QStringLiteral("1,234,567.3"));
    EXPECT_EQ(shown(2), QStringLiteral("-3.0"));
    EXPECT_EQ(shown(3), QStringLiteral("abc"));
    EXPECT_EQ(g.text(1, 1), QStringLiteral("1234567.25"));  // the stored text is what was set
    EXPECT_EQ(g.model()->index(1, 0).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::red));
    EXPECT_EQ(g.model()->index(0, 0).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::black));
    EXPECT_TRUE(g.model()->index(0, 0).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight);
}

TEST(GridWidget, OddEvenColoursAndRowDefaults) {
    SpreadGrid g;
    fill(g, 1, 2);
    g.setOddEvenRowColor(Qt::white, Qt::black, QColor(243, 249, 251), Qt::black);
    EXPECT_EQ(g.model()->index(1, 0).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(243, 249, 251));
    EXPECT_EQ(g.rowDefaultBackColor(1), QColor(Qt::white));
    g.setBackColor(-1, 2, Qt::green);
    EXPECT_EQ(g.model()->index(1, 0).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::green));
}

TEST(GridWidget, RepaintingOffGathersChangesIntoOneRepaint) {
    SpreadGrid g;
    g.setMaxCols(3);
    g.setMaxRows(100);
    int changed = 0;
    QObject::connect(g.model(), &QAbstractItemModel::dataChanged, [&] { ++changed; });
    g.setReDraw(false);
    for (int r = 1; r <= 100; ++r) g.setText(1, r, QString::number(r));
    EXPECT_EQ(changed, 0);
    g.setReDraw(true);
    EXPECT_EQ(changed, 1);
    EXPECT_TRUE(g.reDraw());
    g.setText(2, 2, QStringLiteral("x"));
    EXPECT_EQ(changed, 2);

    // A property set on a row, a column or a cell repaints just that (painting every n-th row of a long
    // list must not repaint the whole list each time); the row-header column repaints its own header.
    QModelIndex first, last;
    int headerRepaints = 0;
    QObject::connect(g.model(), &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex& a, const QModelIndex& b) {
                         first = a;
                         last = b;
                     });
    QObject::connect(g.model(), &QAbstractItemModel::headerDataChanged, [&] { ++headerRepaints; });
    g.setBackColor(-1, 40, Qt::green);
    EXPECT_EQ(std::pair(first.row(), first.column()), std::pair(39, 0));
    EXPECT_EQ(std::pair(last.row(), last.column()), std::pair(39, 2));
    g.setBackColor(2, -1, Qt::gray);
    EXPECT_EQ(std::pair(first.row(), first.column()), std::pair(0, 1));
    EXPECT_EQ(std::pair(last.row(), last.column()), std::pair(99, 1));
    g.setForeColor(3, 7, Qt::red);
    EXPECT_EQ(first, last);
    EXPECT_EQ(std::pair(first.row(), first.column()), std::pair(6, 2));
    EXPECT_EQ(headerRepaints, 0);
    EXPECT_EQ(changed, 5);
    g.setCellTag(0, 7, QStringLiteral("subtot"));
    EXPECT_EQ(headerRepaints, 1);
    EXPECT_EQ(changed, 5);
}

TEST(GridWidget, HeaderClickSortsBetweenItsEvents) {
    SpreadGrid g;
    g.setMaxCols(2);
    g.setMaxRows(5);
    const QStringList values{QStringLiteral("10"), QStringLiteral("9"), QString(), QStringLiteral("100"),
                             QStringLiteral("entry")};
    for (int r = 1; r <= 5; ++r) {
        g.setText(1, r, values[r - 1]);
        g.setText(2, r, QString::number(r));
    }
    g.setRowHidden(2, true);  // the row holding 9
    QStringList events;
    // Like the label window: the entry row goes before the sort and comes back after it.
    QObject::connect(&g, &SpreadGrid::beforeUserSort, [&](int col) {
        events << QStringLiteral("before %1 rows %2").arg(col).arg(g.maxRows());
        g.setMaxRows(g.maxRows() - 1);
    });
    QObject::connect(&g, &SpreadGrid::afterUserSort, [&](int col) {
        events << QStringLiteral("after %1 rows %2").arg(col).arg(g.maxRows());
    });

    emit g.horizontalHeader()->sectionClicked(0);  // without header sorting: nothing
    EXPECT_TRUE(events.isEmpty());
    g.setUserColAction(1);
    emit g.horizontalHeader()->sectionClicked(0);
    EXPECT_EQ(events, (QStringList{QStringLiteral("before 1 rows 5"), QStringLiteral("after 1 rows 4")}));
    // Numbers as numbers, the empty cell last; the hidden row moved with its text.
    EXPECT_EQ(g.text(1, 1), QStringLiteral("9"));
    EXPECT_EQ(g.text(1, 2), QStringLiteral("10"));
    EXPECT_EQ(g.text(1, 3), QStringLiteral("100"));
    EXPECT_EQ(g.text(2, 3), QStringLiteral("4"));
    EXPECT_EQ(g.text(1, 4), QString());
    EXPECT_TRUE(g.rowHidden(1));
    EXPECT_TRUE(g.isRowHidden(0));
    EXPECT_FALSE(g.isRowHidden(1));

    // The second click, a real one on the header, sorts the other way and selects no column.
    g.resize(400, 300);
    g.show();
    QApplication::processEvents();
    QHeaderView* header = g.horizontalHeader();
    click(header->viewport(), Qt::LeftButton,
          QPoint(header->sectionViewportPosition(0) + header->sectionSize(0) / 2, header->height() / 2));
    EXPECT_EQ(g.text(1, 1), QStringLiteral("100"));
    EXPECT_EQ(g.text(1, 3), QStringLiteral("9"));
    EXPECT_TRUE(g.isRowHidden(2));
    EXPECT_FALSE(g.selectionModel()->isColumnSelected(0, {}));
}

TEST(GridWidget, DraggingOverCellsReportsTheBlock) {
    SpreadGrid g;
    g.setMaxCols(3);
    g.setMaxRows(4);
    g.resize(400, 300);
    g.show();
    QApplication::processEvents();
    std::vector<QList<int>> blocks;
    QObject::connect(&g, &SpreadGrid::blockSelected, [&](int c, int r, int c2, int r2) {
        blocks.push_back({c, r, c2, r2});
    });
    auto at = [&](int col, int row) { return g.visualRect(g.model()->index(row - 1, col - 1)).center(); };
    sendMouse(g.viewport(), QEvent::MouseButtonPress, Qt::LeftButton, at(2, 3));
    sendMouse(g.viewport(), QEvent::MouseButtonRelease, Qt::LeftButton, at(1, 1));
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0], (QList<int>{1, 1, 2, 3}));
    click(g.viewport(), Qt::LeftButton, at(1, 1));  // a plain click is no block
    EXPECT_EQ(blocks.size(), 1u);
    // Without block selection (the read-only design), or while cells are always edited, no blocks.
    g.setSelectBlockOptions(0);
    sendMouse(g.viewport(), QEvent::MouseButtonPress, Qt::LeftButton, at(2, 3));
    sendMouse(g.viewport(), QEvent::MouseButtonRelease, Qt::LeftButton, at(1, 1));
    EXPECT_EQ(blocks.size(), 1u);
}

TEST(GridWidget, KeysMouseAndColumnWidthEvents) {
    SpreadGrid g;
    fill(g, 3, 3);
    g.resize(400, 300);
    g.show();
    QApplication::processEvents();
    g.setActiveCell(2, 2);

    std::vector<std::pair<int, int>> keys;
    QObject::connect(&g, &SpreadGrid::keyDown, [&](int key, int shift) { keys.emplace_back(key, shift); });
    QKeyEvent press(QEvent::KeyPress, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    QApplication::sendEvent(&g, &press);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].first, int(Qt::Key_E));
    EXPECT_EQ(keys[0].second, SpreadGrid::kCtrlMask | SpreadGrid::kShiftMask);

    std::vector<int> buttons;
    std::vector<std::pair<int, int>> clicks;
    QObject::connect(&g, &SpreadGrid::mouseUp, [&](int button, int, int, int) { buttons.push_back(button); });
    QObject::connect(&g, &SpreadGrid::clicked, [&](int col, int row) { clicks.emplace_back(col, row); });
    const QPoint cell = g.visualRect(g.model()->index(0, 2)).center();
    click(g.viewport(), Qt::RightButton, cell);
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(buttons[0], SpreadGrid::kRightButton);
    click(g.viewport(), Qt::LeftButton, cell);
    ASSERT_FALSE(clicks.empty());
    EXPECT_EQ(clicks.back(), std::make_pair(3, 1));
    EXPECT_EQ(g.activeCol(), 3);
    EXPECT_EQ(g.activeRow(), 1);

    // A width set by the program raises no event; a drag by the user does, when the button comes up.
    std::vector<std::pair<int, int>> widths;
    QObject::connect(&g, &SpreadGrid::colWidthChange, [&](int a, int b) { widths.emplace_back(a, b); });
    g.setColWidth(1, 12);
    emit g.horizontalHeader()->sectionResized(1, 50, 90);  // what a drag of column 2's edge reports
    EXPECT_TRUE(widths.empty());
    sendMouse(g.horizontalHeader()->viewport(), QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(5, 5));
    ASSERT_EQ(widths.size(), 1u);
    EXPECT_EQ(widths[0], std::make_pair(2, 2));
    EXPECT_DOUBLE_EQ(g.colWidth(2), g.pixelsToColWidth(90));
    EXPECT_DOUBLE_EQ(g.colWidth(1), 12);
}

TEST(GridWidget, CutOffTextsShowWholeAsTips) {
    SpreadGrid g;
    g.setMaxCols(2);
    g.setMaxRows(1);
    g.setColWidth(1, 3);
    g.setText(1, 1, QStringLiteral("가나다라마바사아자차카타파하"));
    g.setText(2, 1, QStringLiteral("ab"));
    EXPECT_EQ(g.textTipOf(1, 1), QString());  // tips are off by default
    g.setTextTip(1);
    EXPECT_EQ(g.textTipOf(1, 1), QStringLiteral("가나다라마바사아자차카타파하"));
    EXPECT_EQ(g.textTipOf(2, 1), QString());  // the whole text fits
    g.setColWidth(1, 60);
    EXPECT_EQ(g.textTipOf(1, 1), QString());
}

// A quantity cut to "1,20..." reads as another number: number columns grow to their widest value, at the
// width the style leaves a cell's text, whatever the font; other columns and wide columns keep their width.
TEST(GridWidget, NumberColumnsFitTheirWidestValue) {
    SpreadGrid g;
    g.setMaxCols(3);
    g.setMaxRows(3);
    g.resize(900, 300);
    g.show();
    for (int c = 1; c <= 3; ++c) g.setColWidth(c, 3);
    g.setColWidth(3, 30);
    for (const int c : {2, 3}) {
        g.setCellType(c, -1, SpreadGrid::CellType::Number);
        g.setTypeNumber(c, -1, {1, true, -1e12, 1e12, false});
    }
    int widthChanges = 0;
    QObject::connect(&g, &SpreadGrid::colWidthChange, [&](int, int) { ++widthChanges; });

    // Every shown value of a column fits the room the style leaves for a cell's text.
    const auto allFit = [&g](int col) {
        const int margin = g.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &g) + 1;
        for (int r = 1; r <= g.dataRowCnt(); ++r) {
            const QModelIndex i = g.model()->index(r - 1, col - 1);
            const QVariant f = g.model()->data(i, Qt::FontRole);
            const QFontMetrics fm(f.isValid() ? f.value<QFont>() : g.font());
            const QString shown = g.model()->data(i, Qt::DisplayRole).toString();
            if (fm.horizontalAdvance(shown) > g.visualRect(i).width() - 2 * margin) return false;
        }
        return true;
    };

    g.setReDraw(false);  // as a list is loaded
    const QString values[] = {QStringLiteral("1200.5"), QStringLiteral("-1234567.25"), QStringLiteral("7")};
    for (int r = 1; r <= 3; ++r) {
        g.setText(1, r, QStringLiteral("가나다라마바사아자차"));
        g.setText(2, r, values[r - 1]);
        g.setText(3, r, values[r - 1]);
    }
    EXPECT_FALSE(allFit(2));
    g.setReDraw(true);
    EXPECT_TRUE(allFit(2));
    EXPECT_GT(g.colWidth(2), 3);
    EXPECT_DOUBLE_EQ(g.colWidth(1), 3);   // a text column is cut as before, with its tip
    EXPECT_DOUBLE_EQ(g.colWidth(3), 30);  // wide enough already: never narrowed

    // A larger value typed or set later, and a larger font, widen it again.
    g.setText(2, 3, QStringLiteral("-123456789012.5"));
    EXPECT_TRUE(allFit(2));
    g.setFontSize(-1, -1, 20);
    EXPECT_TRUE(allFit(2));
    EXPECT_TRUE(allFit(3));
    // The fitted width is not the user's: nothing is reported for the layout file.
    EXPECT_EQ(widthChanges, 0);
}

TEST(GridWidget, UnitsRoundTripThroughPixels) {
    SpreadGrid g;
    for (double w : {1.0, 6.0, 8.0, 10.83, 41.85})
        EXPECT_NEAR(g.pixelsToColWidth(g.colWidthToPixels(w)), w, 0.15) << w;
    for (double h : {8.0, 12.0, 300.0}) EXPECT_NEAR(g.pixelsToRowHeight(g.rowHeightToPixels(h)), h, 0.8) << h;
    g.setMaxCols(1);
    g.setMaxRows(2);
    g.setRowHeight(-1, 20);
    EXPECT_EQ(g.verticalHeader()->sectionSize(1), g.rowHeightToPixels(20));
    g.setRowHeight(2, 30);
    EXPECT_DOUBLE_EQ(g.rowHeight(2), 30);
    EXPECT_DOUBLE_EQ(g.rowHeight(1), 20);
    g.setRowHeight(-1, 10);  // all rows: the row's own height goes
    EXPECT_DOUBLE_EQ(g.rowHeight(2), 10);
}

}  // namespace
