// The grid's Excel export: the cells of the grid as one worksheet, and a text log of what was written.
#include "widgets/export_sheet.h"
#include "widgets/spread_grid.h"

bool SpreadGrid::exportToExcel(const QString& file, const QString& sheetName, const QString& logFile) {
    ExportSheet sheet(*this);
    sheet.appendGridRows(*this);
    return WriteExportSheet(sheet, file, sheetName, logFile, &m_lastExportError);
}

bool SpreadGrid::exportExcelBook(const QString& file, const QString& logFile) {
    // The grid is one sheet; the whole book is that sheet under the grid's name.
    return exportToExcel(file, objectName().isEmpty() ? QStringLiteral("Sheet1") : objectName(), logFile);
}
