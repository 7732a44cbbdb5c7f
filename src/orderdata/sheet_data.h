#pragma once

#include "print/sheet_layout.h"

#include <QString>

// What the order sheet of a direction prints, read from the order database; print/ lays it out (see
// print/buy_order.h for the sheet modes).

// Reads what the sheet of the direction prints: the direction, its lines, and the summary and notices
// where the sheet has them, in that order. A failing statement raises AppError (number and reason of the
// server); a direction that does not exist raises too.
SheetData ReadSheetData(double directionCode, bool allOfDate, bool ahead);

// The remarks of the buyer's directions of the delivery date that have one, joined with CR LF in the
// server's order; empty when there are none. A failing statement raises AppError.
QString GetDirectionNotices(double buyerCode, const QString& deliveryDate);
