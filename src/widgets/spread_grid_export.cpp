// The grid's Excel export: the cells of the grid as one worksheet, and a text log of what was written.
#include "fileformats/xls_writer.h"
#include "widgets/spread_grid.h"
#include "widgets/spread_model.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {

using Style = SpreadModel::Style;

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

bool SpreadGrid::exportToExcel(const QString& file, const QString& sheetName, const QString& logFile) {
    const QDateTime started = QDateTime::currentDateTime();
    const int rows = dataRowCnt();
    const int cols = maxCols();
    QStringList log;
    log << QStringLiteral("Excel export of grid \"%1\"").arg(objectName());
    log << QStringLiteral("Started:  %1").arg(started.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    log << QStringLiteral("Workbook: %1").arg(QFileInfo(file).absoluteFilePath());
    log << QStringLiteral("Sheet:    %1").arg(XlsWriter::cleanSheetName(sheetName));
    log << QStringLiteral("Rows:     %1").arg(rows);
    log << QStringLiteral("Columns:  %1").arg(cols);

    auto finish = [&](bool ok, const QString& why) {
        m_lastExportError = ok ? QString() : why;
        log << (ok ? QStringLiteral("Result:   OK (%1 ms)").arg(started.msecsTo(QDateTime::currentDateTime()))
                   : QStringLiteral("Result:   FAILED: %1").arg(why));
        writeLog(logFile, log);
        return ok;
    };
    if (rows > kXlsMaxRows || cols > kXlsMaxCols)
        return finish(false,
                      QStringLiteral("the grid has %1 rows and %2 columns; the workbook format holds at "
                                     "most %3 rows and %4 columns")
                          .arg(rows)
                          .arg(cols)
                          .arg(kXlsMaxRows)
                          .arg(kXlsMaxCols));

    XlsWriter writer(sheetName);
    for (int c = 1; c <= cols; ++c) writer.setColumn(c - 1, colWidth(c), colHidden(c));
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= cols; ++c) {
            const QString& t = m_model->text(c, r);
            if (t.isEmpty()) continue;
            const auto type = m_model->resolve(&Style::type, c, r);
            if (type == CellType::Number) {
                bool ok = false;
                const double v = t.trimmed().toDouble(&ok);
                if (ok) {
                    const NumberFormat f = typeNumber(c, r);
                    writer.writeNumber(r - 1, c - 1, v, writer.numberStyle(f.decPlaces, f.showSep, f.negRed));
                    continue;
                }
            }
            const bool bold = m_model->resolve(&Style::bold, c, r).value_or(false);
            writer.writeText(r - 1, c - 1, t, bold ? XlsWriter::kStyleHeader : XlsWriter::kStyleNormal);
        }
    }
    QString error;
    if (!writer.save(file, &error)) return finish(false, error);
    log << QStringLiteral("Strings:  %1").arg(writer.stringCount());
    return finish(true, {});
}

bool SpreadGrid::exportExcelBook(const QString& file, const QString& logFile) {
    // The grid is one sheet; the whole book is that sheet under the grid's name.
    return exportToExcel(file, objectName().isEmpty() ? QStringLiteral("Sheet1") : objectName(), logFile);
}
