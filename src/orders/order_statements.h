#pragma once

#include <QString>

// The three statements of the order browser: the direction list of a date, the order lines of one
// direction and the product totals of a buyer's purchase date. Built by concatenating fixed fragments in a
// fixed order; every text goes through SQLEscape, numbers are written from numbers.
namespace orders {

// The date kinds of the date-kind list, in their order, and the column of t_direction each one selects.
inline const QString kKindDelivery = QStringLiteral("납품일");  // d.sdate
inline const QString kKindOrder = QStringLiteral("발주일");     // d.ddate
inline const QString kKindPurchase = QStringLiteral("매입일");  // d.bdate
// "d.sdate", "d.ddate" or "d.bdate"; any other text selects the delivery date.
QString DateColumnOf(const QString& dateKind);

// The number as a plain decimal for a statement: whole numbers without a decimal point.
QString SqlNumber(double number);

// The buyer's directions whose date column equals the date, or, ahead, those of branch 0 whose date
// column lies after it; one row per direction with the count of its order-user links.
QString DirectionListSql(const QString& dateColumn, int buyerCode, const QString& dateText, bool ahead);
// The order lines of a direction with customer and allocated car.
QString OrderLinesSql(double directionCode);
// The summed quantities per product name and unit of the buyer's directions of a purchase date.
QString ProductTotalsSql(const QString& dateText, double buyerCode);

}  // namespace orders
