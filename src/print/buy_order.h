#pragma once

#include "print/sheet_geometry.h"

#include <QString>

class PrintCanvas;

// The order sheet ("주문서"): a titled table of order lines, 18 rows of 13 mm to a page, each page its own
// print job, drawn on the millimetre canvas; some sheets end with the product summary ("집계표") and the
// notice box ("공지사항:").
//
// Sheet modes: 0 a branch-0 direction's own lines; 1 every line of the buyer's directions with the same
// purchase date (all of the date, or a branch-1 direction); 2 a branch-2 direction's own lines, titled
// "(마감후추가)"; 3 a stock direction's lines by product, without customer, remark and car. A direction
// whose branch is none of these prints like branch 0. The ahead sheet holds the lines of every unprinted
// branch-0 direction of the buyer from the direction's purchase date on, with each line's delivery date.
// The sheet's data is read by the order data layer (orderdata/print_buy_order.h); this folder only draws.

// What a sheet is by the stored mode of its data (SheetData::mode); a value none of these prints like Own.
enum class SheetMode { Own = 0, AllOfDate = 1, Late = 2, Stock = 3 };
SheetMode SheetModeOf(int mode);

// One row of a table: an order line (every field) or a summary row (number, product, quantity, unit).
// The quantity is the stored text, printed as a number with one decimal when it has one and thousands
// grouping; deliveryDate (ahead sheets) goes under the mark as "mm/dd".
struct SheetRow {
    int number = 0;
    QString mark;
    QString product;
    QString quantity;
    QString unit;
    QString customer;
    QString remark;
    QString car;
    QString deliveryDate;
};

// Both draw on the sheet's canvas.
//
// The title block at the top of a page (title by mode, recipient, delivery line unless noDeliveryLine,
// page line) and, by kind, that table's header at y0 (none for RowKind::TitleOnly).
void PrintOrderHeader(PrintCanvas& canvas, RowKind kind, SheetMode mode, double y0, const QString& buyerName,
                      const QString& purchaseDate, int page, int pages, bool noDeliveryLine);
// One 13 mm row of the kind's table with its top at y.
void PrintOrderRow(PrintCanvas& canvas, RowKind kind, double y, const SheetRow& row);
// "일", "월", "화", "수", "목", "금" or "토" for a date "yyyy-mm-dd"; empty for a text that is no date.
QString GetWeekdayName(const QString& date);

// The printer setting: application AppTitle, section "Config", key "주문서_Printer".
inline const QString kPrinterSection = QStringLiteral("Config");
inline const QString kPrinterKey = QStringLiteral("주문서_Printer");
