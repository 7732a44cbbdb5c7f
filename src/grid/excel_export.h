#pragma once

#include <QDateTime>
#include <QString>

class SpreadGrid;
struct ExportSheet;

// How an export runs. Both windows export with the defaults.
struct ExcelExportOptions {
    QString sheetName = QStringLiteral("Sheet1");
    bool skipConfirm = false;  // no question first
    bool wholeBook = false;    // the whole book: the sheet is named after the grid
    bool openAfter = true;     // open the workbook with the system's associated program
    bool withHeaders = true;   // the column-header rows become the first rows of the sheet
};

// Writes the grid to a new workbook in the data folder's ExpExcel/ ("Exp" + yyMMdd_HHmmss + ".XLS", with
// its log "Exp" + stamp + "LOG.TXT"; a second export within the same second gets "_2", "_3", ... after the
// stamp) and, with openAfter, opens it with the system's associated program. When nothing can open it,
// a box tells where it was written and offers to open its folder.
// Asks first unless skipConfirm; with withHeaders the column-header rows become the first rows of the
// sheet, bold and centred. The cells are copied from the grid first and the copy is written: the grid
// itself is never changed, whether the export succeeds or fails.
// The workbook's path after a successful export, otherwise an empty text.
QString ExportToExcelFile(SpreadGrid* sp, const ExcelExportOptions& options);
// The same with the options as separate arguments, as the windows call it; `unused` has no effect.
QString ExportToExcelFile(SpreadGrid* sp, const QString& sheetName, bool unused, bool skipConfirm,
                          bool wholeBook, bool openAfter, bool withHeaders);

// The same for cells gathered without a grid: the sheet's first `headerRows` rows are its headers (with
// withHeaders); wholeBook names the worksheet after sheet.gridName.
QString ExportToExcelFile(const ExportSheet& sheet, int headerRows, const ExcelExportOptions& options);

// The stamp of an export's file names: the moment of the export clock as yyMMdd_HHmmss, hours 00 to 23.
QString ExportStamp();
// The export clock: the local clock, unless a test sets a fixed moment (an invalid one restores it).
void SetExportClockForTests(const QDateTime& fixedMoment);
