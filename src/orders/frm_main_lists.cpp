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
#include <type_traits>
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

// A stored date as "mm-dd"; a text that is no date stays as it is.
QString monthDay(const QString& date) {
    return StoredDate(date).isValid() ? date.mid(5, 5) : date;
}

}  // namespace

void frmMain::DesignGrids() {
    designColumns(m_spListO, kDirectionColumns);
    designColumns(m_spList, kLineColumns);
    designColumns(m_spListG, kTotalColumns);
}

void frmMain::SetupGrids() {
    using namespace orders;
    CommonSpreadDesign(m_spList, true, true, true, true, true);
    SetSpreadNumberCell(m_spList, kLineQuantity, -1, QtyDecimals(), true, true, false);
    for (int col : {kLineCode, kLineProductCode, kLineCustomerFull, kLineProductDesc})
        SetSpreadColHidden(m_spList, col, true);

    CommonSpreadDesign(m_spListG, true, true, true, true, true);
    SetSpreadNumberCell(m_spListG, kTotalQuantity, -1, QtyDecimals(), true, true, false);

    CommonSpreadDesign(m_spListO, true, true, true, true, true);
    for (int col : {kDirCode, kDirBuyerCode, kDirFullDate}) SetSpreadColHidden(m_spListO, col, true);

    // A header click sorts a grid's rows; the rows kept beside it follow.
    const auto follow = [](SpreadGrid* grid, auto& rows) {
        connect(grid, &SpreadGrid::afterUserSort, grid, [grid, &rows](int) {
            const std::vector<int>& order = grid->lastSortOrder();
            if (order.size() != rows.size()) return;
            std::remove_reference_t<decltype(rows)> sorted;
            sorted.reserve(rows.size());
            for (const int from : order) sorted.push_back(rows[std::size_t(from - 1)]);
            rows = std::move(sorted);
        });
    };
    follow(m_spListO, m_directions);
    follow(m_spList, m_lines);
    follow(m_spListG, m_totals);
}

namespace {

// The rows' texts go to the grids a row at a time, in column order (main_columns.h).
void drawDirections(SpreadGrid* grid, const std::vector<orderdata::DirectionRow>& rows) {
    using namespace orders;
    grid->setMaxRows(int(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const orderdata::DirectionRow& d = rows[i];
        const QString delivery = monthDay(d.sdate), ordered = monthDay(d.ddate), kind = d.kind();
        const QString* texts[kDirColumnCount] = {
            &delivery,    &ordered, &d.dtime, &d.staffName,     &kind,
            &d.buyerName, &d.state, &d.code,  &d.buyerCodeText, &d.sdate};
        grid->setRowTexts(int(i) + 1, kDirDeliveryDate, texts);
    }
}

void drawOrderLines(SpreadGrid* grid, const std::vector<orderdata::OrderLineRow>& rows) {
    using namespace orders;
    grid->setMaxRows(int(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const orderdata::OrderLineRow& line = rows[i];
        const QString* texts[kLineColumnCount] = {
            &line.customer, &line.product, &line.quantity,    &line.unit,         &line.remark,
            &line.car,      &line.code,    &line.productCode, &line.customerFull, &line.productDesc};
        grid->setRowTexts(int(i) + 1, kLineCustomer, texts);
    }
}

void drawTotals(SpreadGrid* grid, const std::vector<orderdata::ProductTotalRow>& rows) {
    using namespace orders;
    grid->setMaxRows(int(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const QString* texts[kTotalColumnCount] = {&rows[i].product, &rows[i].quantity, &rows[i].unit};
        grid->setRowTexts(int(i) + 1, kTotalProduct, texts);
    }
}

}  // namespace

const orderdata::DirectionRow* frmMain::DirectionAt(int row) const {
    if (row == -2) row = m_spListO->activeRow();
    if (row < 1 || row > int(m_directions.size())) return nullptr;
    return &m_directions[std::size_t(row - 1)];
}

int frmMain::RowOfDirection(const QString& code) const {
    if (code.isEmpty()) return 0;
    for (std::size_t i = 0; i < m_directions.size(); ++i)
        if (m_directions[i].code == code) return int(i) + 1;
    return 0;
}

void frmMain::ShowPrinted(const QString& code) {
    const int row = RowOfDirection(code);
    if (row == 0) return;
    m_directions[std::size_t(row - 1)].state = orderdata::kPrinted;
    m_spListO->setText(orders::kDirState, row, orderdata::kPrinted);
}

bool frmMain::HasTotals(const orderdata::DirectionRow* direction) {
    const QString kind = direction ? direction->kind() : QString();
    return kind != QStringLiteral("선발") && kind != QStringLiteral("재고");
}

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

template <class Row>
bool frmMain::LoadList(SpreadGrid* grid, const char* procedure, std::vector<Row>& rows,
                       const std::function<orderdata::ListResult<Row>()>& read,
                       void (*draw)(SpreadGrid*, const std::vector<Row>&)) {
    WaitCursor wait;
    QuietRebuild quiet(grid);
    const ActiveCell before = rememberActiveCell(grid);
    orderdata::ListResult<Row> result;
    // A result without the expected columns is reported here and leaves the grid empty.
    const bool converted = TrapStep(procedure, "frmMain", [&] { result = read(); });
    // Cancelled while the server held it: the grid keeps the rows it shows.
    if (result.outcome == orderdata::ListRead::Cancelled) return false;
    rows = converted ? std::move(result.rows) : std::vector<Row>();
    grid->setMaxRows(0);
    draw(grid, rows);
    if (!rows.empty())
        restoreActiveCell(grid, before);
    else if (converted && result.outcome == orderdata::ListRead::Read && isVisible())
        ShowFloatMsg(kNothingFound, 500, 1, 0xFFFF00);
    return true;
}

void frmMain::LoadDirectionList() {
    m_loadingList = true;
    const ShownList asked = CurrentListArguments();
    const ShownList previous = m_shown;
    const QSet<QString> previousNew = m_newCodes;
    // Another day or kind: its own arrivals are coloured, those of the list left wait for its return.
    if (!(asked == m_shown)) {
        if (!m_newCodes.isEmpty()) m_newCodesElsewhere.insert(m_shown.key(), m_newCodes);
        m_newCodes = m_newCodesElsewhere.take(asked.key());
    }
    m_shown = asked;
    m_watch->takeBaseline();

    // Cancelled while the server held it (the watch's look or the list itself): the list stays as it was.
    const bool loaded =
        !DBStatementCancelled() && LoadList<orderdata::DirectionRow>(
                                       m_spListO, "LoadDirectionList", m_directions,
                                       [this] {
                                           return orderdata::ReadDirectionList(m_shown.dateColumn, BuyerCode,
                                                                               m_shown.date, m_shown.ahead);
                                       },
                                       drawDirections);
    if (!loaded) {
        if (!(asked == previous)) {
            if (!m_newCodes.isEmpty()) m_newCodesElsewhere.insert(asked.key(), m_newCodes);
            m_newCodesElsewhere.remove(previous.key());
        }
        m_newCodes = previousNew;
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

    const orderdata::DirectionRow* active = DirectionAt(-2);
    const QString selected = active ? active->code : QString();
    const int activeCol = m_spListO->activeCol() >= 1 ? m_spListO->activeCol() : 1;
    const int activeRow = m_spListO->activeRow();
    const int scroll = m_spListO->verticalScrollBar()->value();
    const QStringList before = listedCodes();

    std::vector<orderdata::DirectionRow> rows;
    const bool filled =
        TrapStep("LoadDirectionList", "frmMain", [&] { rows = orderdata::DirectionRowsOf(*rs); });
    CloseRecordset(rs);
    {
        QuietRebuild quiet(m_spListO);
        const QScopedValueRollback<bool> loading(m_loadingList, true);
        m_directions = std::move(rows);
        m_spListO->setMaxRows(0);
        drawDirections(m_spListO, m_directions);
    }

    QStringList arrived;
    for (const QString& code : listedCodes())
        if (!before.contains(code)) arrived << code;
    for (const QString& code : arrived) m_newCodes.insert(code);

    // The selected direction stays selected wherever it moved, and its lines and totals stay as they
    // are. Only when it left the list does the row at its place take over, with its own lines.
    const int row = RowOfDirection(selected);
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
    for (const orderdata::DirectionRow& direction : m_directions) codes << direction.code;
    return codes;
}

void frmMain::MarkNewRows() {
    for (std::size_t i = 0; i < m_directions.size(); ++i) {
        const int row = int(i) + 1;
        if (m_newCodes.contains(m_directions[i].code))
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
    return int(std::count_if(m_directions.begin(), m_directions.end(),
                             [](const orderdata::DirectionRow& d) { return !d.printed(); }));
}

void frmMain::LoadOrderLines(int row) {
    const orderdata::DirectionRow* direction = DirectionAt(row);
    // No direction (an empty list): its code is 0, which no direction has.
    const double code = direction ? direction->codeNumber() : 0;
    LoadList<orderdata::OrderLineRow>(
        m_spList, "LoadOrderLines", m_lines, [code] { return orderdata::ReadOrderLines(code); },
        drawOrderLines);
}

void frmMain::LoadProductTotals(int row) {
    const orderdata::DirectionRow* direction = DirectionAt(row);
    // Advance and stock directions have no totals: their lines take the whole height.
    if (!HasTotals(direction)) {
        m_totals.clear();
        m_spListG->setMaxRows(0);
        m_spListG->setVisible(false);
        Form_Resize();
        return;
    }
    m_spListG->setVisible(true);
    Form_Resize();

    const double buyer = direction ? direction->buyerCode() : 0;
    const QString date = DateText();
    LoadList<orderdata::ProductTotalRow>(
        m_spListG, "LoadProductTotals", m_totals,
        [date, buyer] { return orderdata::ReadProductTotals(date, buyer); }, drawTotals);
}
