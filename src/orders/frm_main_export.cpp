// The export command: the order lines of every listed direction, gathered in the hidden buffer grid
// spList2, go into one workbook.
#include "orders/frm_main.h"

#include "common/text_helpers.h"
#include "grid/excel_export.h"
#include "grid/spread_helpers.h"
#include "platform/dialogs.h"
#include "widgets/spread_grid.h"

namespace {

constexpr int kBufferColumns = 6;  // customer, product, quantity, unit, remark, car
constexpr int kQuantityColumn = 3;

}  // namespace

void frmMain::ExportOrderLines() {
    {
        WaitCursor wait;
        m_spList2->setReDraw(false);
        m_spList2->setMaxRows(0);
        // The quantities go to the workbook as numbers in the order lines' format (a spreadsheet sums
        // them; the database's text "20.00" would not be), the other columns as the texts they show.
        SetSpreadNumberCell(m_spList2, kQuantityColumn, -1, QtyDecimals(), true, true, false);
        int k = 0;
        for (int i = 1; i <= m_spListO->maxRows(); ++i) {
            LoadOrderLines(i);
            LoadProductTotals(i);
            const int lines = m_spList->maxRows();
            m_spList2->setMaxRows(m_spList2->maxRows() + lines);
            for (int j = 1; j <= lines; ++j) {
                ++k;
                for (int col = 1; col <= kBufferColumns; ++col)
                    m_spList2->setText(col, k, m_spList->text(col, j));
            }
        }
        m_spList2->setReDraw(true);
        // The other grids show the selected direction again, not the last one gathered.
        if (m_spListO->maxRows() > 0) {
            LoadOrderLines(-2);
            LoadProductTotals(-2);
        }
    }
    ExportToExcelFile(m_spList2, QStringLiteral("Sheet1"), true, false, false, true, true);
}
