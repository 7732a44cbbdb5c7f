#include "orders/print_buy_order.h"

#include "orderdata/sheet_data.h"
#include "orders/stored_sheet_printer.h"
#include "print/sheet_layout.h"

PrintDocument PrintBuyOrder(double directionCode, bool allOfDate, bool ahead) {
    const SheetData sheet = ReadSheetData(directionCode, allOfDate, ahead);
    PrintDocument document = RecordSheet(sheet, StoredSheetPrinter());
    // The queue names the sheet by its buyer and purchase date; the ahead sheet says so.
    document.title = QStringLiteral("주문서 ") + sheet.buyerName + QLatin1Char(' ') + sheet.bdate;
    if (ahead) document.title += QStringLiteral(" 선발");
    return document;
}
