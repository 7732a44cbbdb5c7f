#pragma once

#include "print/print_document.h"
#include "print/sheet_layout.h"

#include <QString>

// The order sheet of a direction: its data read from the order database, then laid out by print/ (see
// print/buy_order.h for the sheet modes).

// Reads what the sheet of the direction prints: the direction, its lines, and the summary and notices
// where the sheet has them, in that order. A failing statement raises AppError (number and reason of the
// server); a direction that does not exist raises too.
SheetData ReadSheetData(double directionCode, bool allOfDate, bool ahead);

// Reads the sheet (ReadSheetData) and records it, page by page, for the printer named under
// "주문서_Printer". A failing statement raises AppError; nothing is recorded then. The page count in every
// title block is the number of pages the sheet really has.
PrintDocument PrintBuyOrder(double directionCode, bool allOfDate, bool ahead);

// The remarks of the buyer's directions of the delivery date that have one, joined with CR LF in the
// server's order; empty when there are none. A failing statement raises AppError.
QString GetDirectionNotices(double buyerCode, const QString& deliveryDate);
