// The label command: the order lines of the selected direction become rows of the label window, which
// then opens modally over the main window.
#include "orders/frm_main.h"

#include "common/date_input.h"
#include "labels/fb_print_label.h"
#include "labels/label_commands.h"
#include "orderdata/label_data.h"
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
    auto labels = std::make_unique<fBPrintLabel>();
    const orderdata::DirectionRow* direction = DirectionAt(-2);
    const int buyer = direction ? int(direction->buyerCode()) : 0;
    const QString receiveDate = direction ? labelDate(direction->sdate) : QString();
    for (const orderdata::OrderLineRow& orderLine : m_lines) {
        orderdata::LabelOrderLine line;
        line.Customer = orderLine.customerFull;
        line.ProductCode = orderLine.productCodeNumber();
        line.Quantity =
            label_commands::NumberText(orderLine.quantityNumber()) + QLatin1Char(' ') + orderLine.unit;
        line.Vehicle = orderLine.car;
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
