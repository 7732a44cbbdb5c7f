#pragma once

#include "print/print_document.h"

// The order sheet of a direction: its data read from the order database (ReadSheetData), recorded page by
// page for the stored sheet printer. A failing statement raises AppError; nothing is recorded then. The
// page count in every title block is the number of pages the sheet really has.
PrintDocument PrintBuyOrder(double directionCode, bool allOfDate, bool ahead);
