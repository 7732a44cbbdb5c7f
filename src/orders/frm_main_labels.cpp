// The label command: the order lines of the selected direction become rows of the label window, which
// then opens modally over the main window.
#include "orders/frm_main.h"

#include "common/date_input.h"
#include "common/text_helpers.h"
#include "grid/spread_helpers.h"
#include "labels/fb_print_label.h"
#include "labels/label_commands.h"
#include "orderdata/label_data.h"
#include "orders/main_columns.h"
#include "widgets/form_helpers.h"
#include "widgets/spread_grid.h"

#include <QDate>

#include <memory>

namespace {

// A stored date "yyyy-mm-dd" as the labels write it; a text that is no date gives the empty text.
QString labelDate(const QString& stored) {
    return LabelDate(StoredDate(stored));
}

}  // namespace

void frmMain::ShowLabelList() {
    using namespace orders;
    auto labels = std::make_unique<fBPrintLabel>();
    const int buyer = int(LeadingNumber(GetSpreadText(m_spListO, kDirBuyerCode, -2)));
    const QString receiveDate = labelDate(GetSpreadText(m_spListO, kDirFullDate, -2));
    for (int r = 1; r <= m_spList->maxRows(); ++r) {
        orderdata::LabelOrderLine line;
        line.Customer = GetSpreadText(m_spList, kLineCustomerFull, r);
        line.ProductCode = int(LeadingNumber(GetSpreadText(m_spList, kLineProductCode, r)));
        line.Quantity = label_commands::NumberText(LeadingNumber(GetSpreadText(m_spList, kLineQuantity, r))) +
                        QLatin1Char(' ') + GetSpreadText(m_spList, kLineUnit, r);
        line.Vehicle = GetSpreadText(m_spList, kLineCar, r);
        line.LabelBuyerCode = buyer;
        line.ReceiveDate = receiveDate;
        std::int32_t row = -2;
        labels->AddNewData(line, row);
    }
    // The last loaded label keeps its place: the blank entry row comes after it.
    labels->AddBlankRow();
    // The clerk reads the labels from the top: the window opens at the first one, not at the entry row.
    labels->spList()->setActiveCell(fBPrintLabel::kFirstTextCol, 1);
    ShowModalOwned(labels.get(), this);
}
