#pragma once

#include <QString>

class SpreadGrid;

// Writes the grid to a new workbook in the data folder's ExpExcel/ ("Exp" + yyMMdd_HHmmss + ".XLS", with
// its log "Exp" + stamp + "LOG.TXT") and, with openAfter, opens it with the system's associated program.
// Asks first unless skipConfirm; with withHeaders the column-header rows become the first rows of the
// sheet. The grid returns to its former rows, row count, repainting and protection, also after a failure.
// `unused` has no effect. The workbook's path after a successful export, otherwise an empty text.
QString ExportToExcelFile(SpreadGrid* sp, const QString& sheetName, bool unused, bool skipConfirm,
                          bool wholeBook, bool openAfter, bool withHeaders);

// The stamp of an export's file names: the local date and time as yyMMdd_HHmmss.
QString ExportStamp();
