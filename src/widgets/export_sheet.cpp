#include "widgets/export_sheet.h"

#include "fileformats/xls_writer.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTextStream>

namespace {

void writeLog(const QString& logFile, const QStringList& lines) {
    if (logFile.isEmpty()) return;
    QFile f(logFile);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;  // the log never fails an export
    QTextStream s(&f);
    s.setEncoding(QStringConverter::Utf8);
    s.setGenerateByteOrderMark(true);
    for (const QString& line : lines) s << line << "\r\n";
}

}  // namespace

ExportSheet::ExportSheet(const SpreadGrid& grid) : gridName(grid.objectName()), m_cols(grid.maxCols()) {
    columns.reserve(size_t(m_cols));
    for (int c = 1; c <= m_cols; ++c) columns.push_back({grid.colWidth(c), grid.colHidden(c)});
}

ExportSheet::ExportSheet(const QString& name, std::vector<Column> sheetColumns)
    : gridName(name), columns(std::move(sheetColumns)), m_cols(int(columns.size())) {}

void ExportSheet::appendRow(std::vector<Cell> cells) {
    cells.resize(std::size_t(m_cols));
    for (Cell& cell : cells) m_cells.push_back(std::move(cell));
}

void ExportSheet::appendBoldRow(const std::vector<QString>& texts) {
    for (int c = 0; c < m_cols; ++c)
        m_cells.push_back({size_t(c) < texts.size() ? texts[size_t(c)] : QString(), kBold});
}

int ExportSheet::numberStyle(const SpreadGrid::NumberFormat& format) {
    for (size_t i = 0; i < numberFormats.size(); ++i)
        if (numberFormats[i] == format) return kFirstNumberStyle + int(i);
    numberFormats.push_back(format);
    return kFirstNumberStyle + int(numberFormats.size()) - 1;
}

void ExportSheet::appendGridRows(const SpreadGrid& grid) {
    const int rows = grid.dataRowCnt();
    m_cells.reserve(m_cells.size() + size_t(rows) * size_t(m_cols));
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= m_cols; ++c) {
            Cell cell{grid.text(c, r), kPlain};
            if (!cell.text.isEmpty()) {
                if (grid.cellType(c, r) == SpreadGrid::CellType::Number) {
                    bool isNumber = false;
                    cell.text.trimmed().toDouble(&isNumber);
                    if (isNumber) cell.style = numberStyle(grid.typeNumber(c, r));
                }
                if (cell.style == kPlain && grid.fontBold(c, r)) cell.style = kBold;
            }
            m_cells.push_back(std::move(cell));
        }
    }
}

bool WriteExportSheet(const ExportSheet& sheet, const QString& file, const QString& sheetName,
                      const QString& logFile, QString* error) {
    const QDateTime started = QDateTime::currentDateTime();
    const int rows = sheet.rowCount();
    const int cols = sheet.colCount();
    QStringList log;
    log << QStringLiteral("Excel export of grid \"%1\"").arg(sheet.gridName);
    log << QStringLiteral("Started:  %1").arg(started.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    log << QStringLiteral("Workbook: %1").arg(QFileInfo(file).absoluteFilePath());
    log << QStringLiteral("Sheet:    %1").arg(XlsWriter::cleanSheetName(sheetName));
    log << QStringLiteral("Rows:     %1").arg(rows);
    log << QStringLiteral("Columns:  %1").arg(cols);

    auto finish = [&](bool ok, const QString& why) {
        if (error) *error = ok ? QString() : why;
        log << (ok ? QStringLiteral("Result:   OK (%1 ms)").arg(started.msecsTo(QDateTime::currentDateTime()))
                   : QStringLiteral("Result:   FAILED: %1").arg(why));
        writeLog(logFile, log);
        return ok;
    };
    if (rows > XlsWriter::kMaxRows || cols > XlsWriter::kMaxCols)
        return finish(false,
                      QStringLiteral("the grid has %1 rows and %2 columns; the workbook format holds at "
                                     "most %3 rows and %4 columns")
                          .arg(rows)
                          .arg(cols)
                          .arg(XlsWriter::kMaxRows)
                          .arg(XlsWriter::kMaxCols));

    XlsWriter writer(sheetName);
    for (int c = 0; c < cols; ++c)
        writer.setColumn(c, sheet.columns[size_t(c)].width, sheet.columns[size_t(c)].hidden);
    std::vector<int> numberStyles;
    for (const SpreadGrid::NumberFormat& f : sheet.numberFormats)
        numberStyles.push_back(writer.numberStyle(f.decPlaces, f.showSep, f.negRed));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const ExportSheet::Cell& cell = sheet.cell(r, c);
            if (cell.text.isEmpty()) continue;
            if (cell.style >= ExportSheet::kFirstNumberStyle) {
                writer.writeNumber(r, c, cell.text.trimmed().toDouble(),
                                   numberStyles[size_t(cell.style - ExportSheet::kFirstNumberStyle)]);
                continue;
            }
            writer.writeText(
                r, c, cell.text,
                cell.style == ExportSheet::kBold ? XlsWriter::kStyleHeader : XlsWriter::kStyleNormal);
        }
    }
    QString why;
    if (!writer.save(file, &why)) return finish(false, why);
    log << QStringLiteral("Strings:  %1").arg(writer.stringCount());
    return finish(true, {});
}
