// The export command: the order lines of every listed direction go into one workbook, built from the
// rows read for each direction.
#include "orders/frm_main.h"

#include "common/text_helpers.h"
#include "common/trap.h"
#include "db/mysql_func.h"
#include "grid/excel_export.h"
#include "grid/spread_helpers.h"
#include "platform/dialogs.h"
#include "startup/session.h"
#include "widgets/export_sheet.h"

namespace {

// The workbook's columns: the visible columns of the order lines, in their order.
ExportSheet orderLinesSheet() {
    // The name the export's log has always given these rows.
    ExportSheet sheet(QStringLiteral("spList2"),
                      {{10.83, false}, {21.37, false}, {6, false}, {6, false}, {13.33, false}, {8.0, false}});
    std::vector<ExportSheet::Cell> header;
    for (const char16_t* text : {u"매출처", u"품명", u"수량", u"단위", u"특이사항", u"배차"})
        header.push_back({QString::fromUtf16(text), ExportSheet::kBold});
    sheet.appendRow(std::move(header));
    return sheet;
}

std::vector<ExportSheet::Cell> cellsOf(const orderdata::OrderLineRow& line, ExportSheet& sheet) {
    // The quantity goes to the workbook as a number in the order lines' format (a spreadsheet sums it;
    // the database's text "20.00" would not be), the other columns as the texts they show.
    ExportSheet::Cell quantity{line.quantity, ExportSheet::kPlain};
    bool isNumber = false;
    line.quantity.trimmed().toDouble(&isNumber);
    if (isNumber) quantity.style = sheet.numberStyle(SpreadNumberFormat(QtyDecimals(), true));
    return {{line.customer, ExportSheet::kPlain},
            {line.product, ExportSheet::kPlain},
            quantity,
            {line.unit, ExportSheet::kPlain},
            {line.remark, ExportSheet::kPlain},
            {line.car, ExportSheet::kPlain}};
}

bool emptyLine(const orderdata::OrderLineRow& line) {
    return line.customer.isEmpty() && line.product.isEmpty() && line.quantity.isEmpty() &&
           line.unit.isEmpty() && line.remark.isEmpty() && line.car.isEmpty();
}

}  // namespace

void frmMain::ExportOrderLines() {
    std::vector<orderdata::OrderLineRow> gathered;
    {
        WaitCursor wait;
        // Each direction's lines, and its totals as selecting it reads them, in the order of the list.
        const std::vector<orderdata::DirectionRow> listed = m_directions;
        for (const orderdata::DirectionRow& direction : listed) {
            orderdata::ListResult<orderdata::OrderLineRow> lines;
            TrapStep("LoadOrderLines", "frmMain",
                     [&] { lines = orderdata::ReadOrderLines(direction.codeNumber()); });
            // Cancelled by the user: nothing is exported.
            if (lines.outcome == orderdata::ListRead::Cancelled) return;
            gathered.insert(gathered.end(), lines.rows.begin(), lines.rows.end());
            if (HasTotals(&direction)) {
                orderdata::ListResult<orderdata::ProductTotalRow> totals;
                TrapStep("LoadProductTotals", "frmMain",
                         [&] { totals = orderdata::ReadProductTotals(DateText(), direction.buyerCode()); });
                if (totals.outcome == orderdata::ListRead::Cancelled) return;
            }
        }
        // The other grids show the selected direction, read again as after every gathering.
        if (!m_directions.empty()) {
            LoadOrderLines(-2);
            LoadProductTotals(-2);
        }
    }
    ExportSheet sheet = orderLinesSheet();
    // Rows after the last that holds a text are left out, as a grid's export leaves them.
    std::size_t count = gathered.size();
    while (count > 0 && emptyLine(gathered[count - 1])) --count;
    for (std::size_t i = 0; i < count; ++i) sheet.appendRow(cellsOf(gathered[i], sheet));
    ExportToExcelFile(sheet, 1, ExcelExportOptions{QStringLiteral("Sheet1"), false, false, true, true});
}
