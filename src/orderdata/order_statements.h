#pragma once

#include <QString>

// Every statement of the main window, its print command and the order sheet, in the order a command sends
// them. Built by concatenating fixed fragments in a fixed order; texts go through SqlQuoted (or SQLEscape
// inside a fragment's own quotes), numbers through SqlNumber.
namespace orderdata {

// The date kinds of the date-kind list, in their order, and the column of t_direction each one selects.
inline const QString kKindDelivery = QStringLiteral("납품일");  // d.sdate
inline const QString kKindOrder = QStringLiteral("발주일");     // d.ddate
inline const QString kKindPurchase = QStringLiteral("매입일");  // d.bdate
// "d.sdate", "d.ddate" or "d.bdate"; any other text selects the delivery date.
QString DateColumnOf(const QString& dateKind);

// The mark of a direction whose sheet came out.
inline const QString kPrinted = QStringLiteral("출력");

// ---- The main window's lists ----

// The buyer's directions whose date column equals the date, or, ahead, those of branch 0 whose date
// column lies after it; one row per direction with the count of its order-user links.
QString DirectionListSql(const QString& dateColumn, int buyerCode, const QString& dateText, bool ahead);
// The order lines of a direction with customer and allocated car.
QString OrderLinesSql(double directionCode);
// The summed quantities per product name and unit of the buyer's directions of a purchase date.
QString ProductTotalsSql(const QString& dateText, double buyerCode);
// One row that changes whenever directions join or leave the direction list of the same arguments or
// change their printing state: the number of the buyer's directions it selects (cnt), their highest code
// (maxcode) and a checksum of their codes and states (sig). Answered from the buyer-and-date index alone
// (it holds the state), never joined, so every open window can ask it once a minute at next to no cost.
// An edit of another column of a listed direction (its time, kind or staff) does not change it; the
// query command shows such edits.
QString DirectionListMarkSql(const QString& dateColumn, int buyerCode, const QString& dateText, bool ahead);

// ---- The print command ----

// Marks a direction "출력" with the time of the marking.
QString MarkPrintedSql(double directionCode, const QString& now);
// The first unprinted branch-0 direction of the buyer delivered after the date: the ahead sheet's.
QString AheadDirectionSql(const QString& dateText, int buyerCode);

// ---- The order sheet, in the order the sheet sends them ----

// The direction with its buyer: name, dates, branch, buyer code, remark and whether it prints the summary.
QString SheetDirectionSql(double directionCode);
// The sheet's lines by mode (see print/buy_order.h): the ahead sheet's from the purchase date on, mode 1
// every line of the buyer's purchase date, the others the direction's own; mode 3 without customer,
// remark and car.
QString SheetLinesSql(int mode, bool ahead, const QString& bdate, double buyerCode, double directionCode);
// The product summary of the buyer's purchase date: the same totals as ProductTotalsSql, written as the
// sheet has always sent them.
QString SheetSummarySql(const QString& bdate, double buyerCode);
// The remarks of the buyer's directions of a delivery date that have one.
QString DirectionNoticesSql(double buyerCode, const QString& deliveryDate);

}  // namespace orderdata
