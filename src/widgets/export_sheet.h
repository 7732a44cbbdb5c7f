#pragma once

#include "widgets/spread_grid.h"

#include <QString>

#include <vector>

// The cells that an Excel export writes, copied from a grid at one moment. Writing works on this copy
// alone, so an export never changes the grid it came from (no rows inserted for the headers, no
// protection lifted) and a failed write leaves nothing to restore. Texts are shared with the grid, not
// duplicated.
struct ExportSheet {
    // How a cell is written: a plain text, a bold centred text (the header rows, bold cells), or a number
    // in the format of numberFormats[style - kFirstNumberStyle].
    static constexpr int kPlain = 0;
    static constexpr int kBold = 1;
    static constexpr int kFirstNumberStyle = 2;

    struct Column {
        double width = 8.0;  // characters
        bool hidden = false;
    };
    struct Cell {
        QString text;
        int style = kPlain;
    };

    // Starts a sheet with the grid's columns (widths and hidden flags) and no rows.
    explicit ExportSheet(const SpreadGrid& grid);
    // Starts a sheet of rows gathered without a grid: the name the log gives them and their columns.
    ExportSheet(const QString& name, std::vector<Column> sheetColumns);

    int rowCount() const { return m_cols == 0 ? 0 : int(m_cells.size() / size_t(m_cols)); }
    int colCount() const { return m_cols; }
    // Sheet cells, 0-based.
    const Cell& cell(int row, int col) const { return m_cells[size_t(row) * size_t(m_cols) + size_t(col)]; }

    // Appends one row of bold texts, one per grid column (missing texts stay empty).
    void appendBoldRow(const std::vector<QString>& texts);
    // Appends the grid's rows 1..dataRowCnt, columns 1..maxCols, with their number formats and bold.
    void appendGridRows(const SpreadGrid& grid);
    // Appends one row of cells, one per column (missing cells stay empty).
    void appendRow(std::vector<Cell> cells);
    // The style of a number cell in `format` (kFirstNumberStyle + its place in numberFormats).
    int numberStyle(const SpreadGrid::NumberFormat& format);

    QString gridName;
    std::vector<Column> columns;
    std::vector<SpreadGrid::NumberFormat> numberFormats;

private:
    int m_cols = 0;
    std::vector<Cell> m_cells;  // row after row
};

// Writes the sheet as an Excel 97-2003 workbook (.XLS) with one worksheet, and a text log of the export
// (a log that cannot be written never fails the export). False with the reason in `error` when the
// workbook could not be written whole; nothing is left in its place then.
bool WriteExportSheet(const ExportSheet& sheet, const QString& file, const QString& sheetName,
                      const QString& logFile, QString* error);
