// The three lists of the main window: their design, the direction list of a date and the order lines and
// product totals of a selected direction.
#include "orders/frm_main.h"

#include "common/date_input.h"
#include "common/text_helpers.h"
#include "common/trap.h"
#include "db/mysql_func.h"
#include "grid/spread_helpers.h"
#include "orderdata/order_statements.h"
#include "platform/dialogs.h"
#include "startup/session.h"
#include "widgets/form_helpers.h"
#include "widgets/spread_grid.h"

#include "orders/live_watch.h"
#include "orders/main_columns.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QScopedValueRollback>
#include <QScrollBar>

#include <algorithm>
#include <utility>

namespace {

const QString kNothingFound = QStringLiteral("검색된 결과가 없습니다.");
// The background of a direction that arrived since the user last looked, until it is selected.
const QColor kNewRowColor(255, 236, 160);
constexpr double kDefaultWidth = -1;  // the grid's default column width

struct ColumnDesign {
    const char16_t* header;
    double width;
};

// Columns of the direction list: 8 to 10 (code, buyer code, full delivery date) are hidden.
constexpr ColumnDesign kDirectionColumns[] = {
    {u"납품일", 5.37},
    {u"발주일", 5.37},
    {u"발주시간", kDefaultWidth},
    {u"담당자", kDefaultWidth},
    {u"구분", 4.62},
    {u"매입처", 15.08},
    {u"상태", 7.12},
    {u"code", kDefaultWidth},
    {u"매입처code", 17.87},
    {u"Full 날짜", kDefaultWidth},
};
// Columns of the order lines: 7 to 10 (line code, product code, customer full name, product description)
// are hidden.
constexpr ColumnDesign kLineColumns[] = {
    {u"매출처", 10.83},   {u"품명", 16.25},     {u"수량", 6},         {u"단위", 6},
    {u"특이사항", 12.75}, {u"배차", 5.62},      {u"", kDefaultWidth}, {u"", kDefaultWidth},
    {u"", kDefaultWidth}, {u"", kDefaultWidth},
};
constexpr ColumnDesign kTotalColumns[] = {{u"품명", 41.85}, {u"수량", 10}, {u"단위", 6}};

template <std::size_t N>
void designColumns(SpreadGrid* grid, const ColumnDesign (&columns)[N]) {
    grid->setFont(QFont(QStringLiteral("굴림"), 9));
    grid->setMaxCols(int(N));
    for (int col = 1; col <= int(N); ++col) {
        grid->setText(col, 0, QString::fromUtf16(columns[col - 1].header));
        if (columns[col - 1].width != kDefaultWidth) grid->setColWidth(col, columns[col - 1].width);
    }
}

// A grid whose drawing is off while it is rebuilt, painted once when the rebuild ends (however it ends).
class QuietRebuild {
public:
    explicit QuietRebuild(SpreadGrid* grid) : m_grid(grid) { m_grid->setReDraw(false); }
    ~QuietRebuild() { m_grid->setReDraw(true); }
    QuietRebuild(const QuietRebuild&) = delete;
    QuietRebuild& operator=(const QuietRebuild&) = delete;

private:
    SpreadGrid* m_grid;
};

// The active cell a grid had before its rows were replaced.
struct ActiveCell {
    int col = 0;
    int row = 0;
};

ActiveCell rememberActiveCell(const SpreadGrid* grid) {
    return {grid->activeCol(), grid->activeRow()};
}

// The remembered cell when its row still exists, otherwise the remembered column of row 1.
void restoreActiveCell(SpreadGrid* grid, const ActiveCell& before) {
    const int rows = grid->maxRows();
    if (rows <= 0) return;
    const int col = before.col >= 1 ? before.col : 1;
    if (before.row >= 1 && before.row <= rows)
        grid->setActiveCell(col, before.row);
    else
        grid->setActiveCell(col, 1);
}

// A column the statement does not return is a fault of the program, not of the data: it raises AppError
// 3265, which the list's load reports, instead of reading outside the row.
int columnOf(const Recordset& rs, const char* name) {
    return rs.ColumnIndex(QString::fromLatin1(name));
}

// A stored date as "mm-dd"; a text that is no date stays as it is.
QString monthDay(const QString& date) {
    return StoredDate(date).isValid() ? date.mid(5, 5) : date;
}

}  // namespace

void frmMain::DesignGrids() {
    designColumns(m_spListO, kDirectionColumns);
    designColumns(m_spList, kLineColumns);
    designColumns(m_spListG, kTotalColumns);
    // The export buffer holds the visible columns of the order lines.
    constexpr ColumnDesign bufferColumns[] = {{u"매출처", 10.83},   {u"품명", 21.37},
                                              {u"수량", 6},         {u"단위", 6},
                                              {u"특이사항", 13.33}, {u"배차", kDefaultWidth}};
    designColumns(m_spList2, bufferColumns);
}

void frmMain::SetupGrids() {
    CommonSpreadDesign(m_spList, true, true, true, true, true);
    SetSpreadNumberCell(m_spList, 3, -1, QtyDecimals(), true, true, false);
    for (int col : {7, 8, 9, 10}) SetSpreadColHidden(m_spList, col, true);

    CommonSpreadDesign(m_spListG, true, true, true, true, true);
    SetSpreadNumberCell(m_spListG, 2, -1, QtyDecimals(), true, true, false);

    CommonSpreadDesign(m_spListO, true, true, true, true, true);
    for (int col : {8, 9, 10}) SetSpreadColHidden(m_spListO, col, true);
}

namespace {

// The rows of a direction list result into spListO, which already has their number of rows.
void fillDirectionRows(SpreadGrid* grid, const Recordset& rs, int rows) {
    const int sdate = columnOf(rs, "sdate"), ddate = columnOf(rs, "ddate"), dtime = columnOf(rs, "dtime");
    const int name = columnOf(rs, "local_name"), branch = columnOf(rs, "branch");
    const int buyer = columnOf(rs, "mname"), state = columnOf(rs, "state"), code = columnOf(rs, "code");
    const int bcode = columnOf(rs, "bcode");
    for (int r = 0; r < rows; ++r) {
        const int row = r + 1;
        grid->setText(1, row, monthDay(rs.ValueAt(r, sdate).toString()));
        grid->setText(2, row, monthDay(rs.ValueAt(r, ddate).toString()));
        grid->setText(3, row, rs.ValueAt(r, dtime).toString());
        grid->setText(4, row, rs.ValueAt(r, name).toString());
        grid->setText(5, row, BranchName(int(LeadingNumber(rs.ValueAt(r, branch).toString()))));
        grid->setText(6, row, rs.ValueAt(r, buyer).toString());
        grid->setText(7, row, rs.ValueAt(r, state).toString());
        grid->setText(8, row, rs.ValueAt(r, code).toString());
        grid->setText(9, row, rs.ValueAt(r, bcode).toString());
        grid->setText(10, row, rs.ValueAt(r, sdate).toString());
    }
}

// The row of spListO that holds a direction code, 0 when none does.
int rowOfCode(const SpreadGrid* grid, const QString& code) {
    if (code.isEmpty()) return 0;
    for (int row = 1; row <= grid->maxRows(); ++row)
        if (grid->text(orders::kDirCode, row) == code) return row;
    return 0;
}

}  // namespace

frmMain::ShownList frmMain::CurrentListArguments() const {
    ShownList shown;
    shown.kind = m_cmbField->currentText();
    shown.dateColumn = orderdata::DateColumnOf(shown.kind);
    shown.date = DateText();
    shown.ahead = m_chkAhead->isChecked();
    return shown;
}

QString frmMain::DirectionListMarkSql() const {
    return orderdata::DirectionListMarkSql(m_shown.dateColumn, BuyerCode, m_shown.date, m_shown.ahead);
}

bool frmMain::LoadList(SpreadGrid* grid, const char* procedure, const QString& sql, const FillRows& fill) {
    WaitCursor wait;
    QuietRebuild quiet(grid);
    const ActiveCell before = rememberActiveCell(grid);
    RecordsetPtr rs;
    const bool ran = DBOpenRecordset(rs, sql) >= 0 && rs;
    // Cancelled while the server held it: the grid keeps the rows it shows.
    if (DBStatementCancelled()) return false;
    const int rows = ran ? rs->RecordCount() : 0;
    grid->setMaxRows(0);
    grid->setMaxRows(rows);
    if (rows > 0) {
        const bool filled = TrapStep(procedure, "frmMain", [&] { fill(*rs, rows); });
        if (filled)
            restoreActiveCell(grid, before);
        else
            grid->setMaxRows(0);
    } else if (ran && isVisible()) {
        ShowFloatMsg(kNothingFound, 500, 1, 0xFFFF00);
    }
    CloseRecordset(rs);
    return true;
}

void frmMain::LoadDirectionList() {
    m_loadingList = true;
    // Another day or kind: what was new on the old list is no news on this one.
    const ShownList asked = CurrentListArguments();
    const ShownList previous = m_shown;
    if (!(asked == m_shown)) m_newCodes.clear();
    m_shown = asked;
    m_watch->takeBaseline();

    const QString sql =
        orderdata::DirectionListSql(m_shown.dateColumn, BuyerCode, m_shown.date, m_shown.ahead);
    // Cancelled while the server held it (the watch's look or the list itself): the list stays as it was.
    const bool loaded = !DBStatementCancelled() &&
                        LoadList(m_spListO, "LoadDirectionList", sql, [this](const Recordset& rs, int rows) {
                            fillDirectionRows(m_spListO, rs, rows);
                        });
    if (!loaded) {
        m_shown = previous;
        m_loadingList = false;
        return;
    }
    MarkNewRows();
    m_loadingList = false;
    if (m_spListO->maxRows() > 0) SetFocusIf(m_spListO, false);
}

bool frmMain::RefreshDirectionList() {
    const QString sql =
        orderdata::DirectionListSql(m_shown.dateColumn, BuyerCode, m_shown.date, m_shown.ahead);
    RecordsetPtr rs = LiveWatch::quietQuery(sql);
    if (!rs) return false;  // the list on screen stays as it is; the next watch tries again

    const QString selected = GetSpreadText(m_spListO, orders::kDirCode, -2);
    const int activeCol = m_spListO->activeCol() >= 1 ? m_spListO->activeCol() : 1;
    const int activeRow = m_spListO->activeRow();
    const int scroll = m_spListO->verticalScrollBar()->value();
    const QStringList before = listedCodes();

    const int rows = rs->RecordCount();
    bool filled = true;
    {
        QuietRebuild quiet(m_spListO);
        const QScopedValueRollback<bool> loading(m_loadingList, true);
        m_spListO->setMaxRows(0);
        m_spListO->setMaxRows(rows);
        if (rows > 0)
            filled =
                TrapStep("LoadDirectionList", "frmMain", [&] { fillDirectionRows(m_spListO, *rs, rows); });
        if (!filled) m_spListO->setMaxRows(0);
    }
    CloseRecordset(rs);

    QStringList arrived;
    for (const QString& code : listedCodes())
        if (!before.contains(code)) arrived << code;
    for (const QString& code : arrived) m_newCodes.insert(code);

    // The selected direction stays selected wherever it moved, and its lines and totals stay as they
    // are. Only when it left the list does the row at its place take over, with its own lines.
    const int row = rowOfCode(m_spListO, selected);
    {
        const QScopedValueRollback<bool> loading(m_loadingList, true);
        if (row > 0)
            m_spListO->setActiveCell(activeCol, row);
        else if (m_spListO->maxRows() > 0)
            m_spListO->setActiveCell(activeCol, std::clamp(activeRow, 1, m_spListO->maxRows()));
        m_spListO->verticalScrollBar()->setValue(scroll);
    }
    if (row == 0 && !selected.isEmpty()) {
        LoadOrderLines(-2);
        if (!DBConnectionLost()) LoadProductTotals(-2);
    }
    MarkNewRows();
    UpdateTitle();
    if (!arrived.isEmpty()) AnnounceArrivals(arrived);
    return filled;
}

QStringList frmMain::listedCodes() const {
    QStringList codes;
    for (int row = 1; row <= m_spListO->maxRows(); ++row) codes << m_spListO->text(orders::kDirCode, row);
    return codes;
}

void frmMain::MarkNewRows() {
    for (int row = 1; row <= m_spListO->maxRows(); ++row) {
        if (m_newCodes.contains(m_spListO->text(orders::kDirCode, row)))
            m_spListO->setBackColor(-1, row, kNewRowColor);
        else if (m_spListO->backColor(1, row) == kNewRowColor)
            m_spListO->setBackColor(-1, row, m_spListO->rowDefaultBackColor(row));
    }
}

QStringList frmMain::NewDirectionCodes() const {
    QStringList codes;
    for (const QString& code : listedCodes())
        if (m_newCodes.contains(code)) codes << code;
    return codes;
}

int frmMain::UnprintedCount() const {
    int count = 0;
    for (int row = 1; row <= m_spListO->maxRows(); ++row)
        if (m_spListO->text(orders::kDirState, row) != orderdata::kPrinted) ++count;
    return count;
}

void frmMain::LoadOrderLines(int row) {
    const double direction = LeadingNumber(GetSpreadText(m_spListO, orders::kDirCode, row));
    LoadList(m_spList, "LoadOrderLines", orderdata::OrderLinesSql(direction),
             [this](const Recordset& rs, int rows) {
                 // Grid column n takes the statement column named sources[n - 1].
                 const char* sources[] = {"cname",   "pname", "qnt",   "unit",      "bigo",
                                          "carname", "code",  "pcode", "cfullname", "mnote"};
                 int from[10];
                 for (int c = 0; c < 10; ++c) from[c] = columnOf(rs, sources[c]);
                 for (int r = 0; r < rows; ++r)
                     for (int c = 0; c < 10; ++c)
                         m_spList->setText(c + 1, r + 1, rs.ValueAt(r, from[c]).toString());
             });
}

void frmMain::LoadProductTotals(int row) {
    // Advance and stock directions have no totals: their lines take the whole height.
    const QString kind = GetSpreadText(m_spListO, 5, row);
    if (kind == QStringLiteral("선발") || kind == QStringLiteral("재고")) {
        m_spListG->setMaxRows(0);
        m_spListG->setVisible(false);
        Form_Resize();
        return;
    }
    m_spListG->setVisible(true);
    Form_Resize();

    const double buyer = LeadingNumber(GetSpreadText(m_spListO, 9, row));
    LoadList(m_spListG, "LoadProductTotals", orderdata::ProductTotalsSql(DateText(), buyer),
             [this](const Recordset& rs, int rows) {
                 const int pname = columnOf(rs, "pname"), qnt = columnOf(rs, "qnt"),
                           unit = columnOf(rs, "unit");
                 for (int r = 0; r < rows; ++r) {
                     m_spListG->setText(1, r + 1, rs.ValueAt(r, pname).toString());
                     m_spListG->setText(2, r + 1, rs.ValueAt(r, qnt).toString());
                     m_spListG->setText(3, r + 1, rs.ValueAt(r, unit).toString());
                 }
             });
}
