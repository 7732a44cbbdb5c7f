#include "grid/excel_export.h"

#include "common/msgbox.h"
#include "common/trap.h"
#include "platform/app_error.h"
#include "platform/app_paths.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "widgets/export_sheet.h"
#include "widgets/spread_grid.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <optional>
#include <vector>

namespace {

constexpr const char* kProc = "ExportToExcelFile";
constexpr const char* kModule = "modExcel";

// The format holds 65,536 rows and 256 columns on a sheet; a larger grid is refused before anything
// changes, with the limits in the message.
bool fitsWorkbook(int rows, int cols) {
    if (rows <= SpreadGrid::kXlsMaxRows && cols <= SpreadGrid::kXlsMaxCols) return true;
    dialogs().messageBox(
        {QStringLiteral("엑셀 파일(.XLS)의 한 시트에는 65,536줄, 256칸까지만 저장할 수 있습니다.") +
             QStringLiteral("\r\n") + QStringLiteral("(내보낼 자료: %1줄, %2칸)").arg(rows).arg(cols),
         AppTitle(), Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok, 1});
    return false;
}

QDateTime g_fixedMoment;

// The name of a new export without its extension: "Exp" + stamp, and when an earlier export of the same
// second already holds that name (workbook or log), "_2", "_3", ... after the stamp, so no export is
// overwritten.
QString freeExportBase(const QString& folder, const QString& stamp) {
    const QString base = folder + QStringLiteral("/Exp") + stamp;
    auto taken = [](const QString& b) {
        return QFileInfo::exists(b + QStringLiteral(".XLS")) ||
               QFileInfo::exists(b + QStringLiteral("LOG.TXT"));
    };
    if (!taken(base)) return base;
    for (int n = 2;; ++n) {
        const QString numbered = base + QLatin1Char('_') + QString::number(n);
        if (!taken(numbered)) return numbered;
    }
}

// The workbook was written but no program opens it (common on Linux desktops without an office suite):
// say where it is, and open its folder on request.
void tellWhereWritten(const QString& workbook) {
    const QString native = QDir::toNativeSeparators(workbook);
    const int answer = dialogs().messageBox(
        {QStringLiteral("엑셀 파일을 열 수 있는 프로그램이 없습니다.") + QStringLiteral("\r\n") +
             QStringLiteral("파일은 다음 위치에 저장되었습니다.") + QStringLiteral("\r\n\r\n") + native,
         AppTitle(), Dialogs::Icon::Information, Dialogs::Buttons::OkOpenFolder, 1});
    if (answer == Dialogs::ResultOpenFolder) shell::openDocument(QFileInfo(workbook).absolutePath());
}

// The cells to write: with headers, the grid's column-header rows first (bold and centred, as the
// sheet's first rows), then the grid's rows that hold data.
ExportSheet sheetOf(const SpreadGrid& sp, bool withHeaders) {
    ExportSheet sheet(sp);
    if (withHeaders) {
        for (int i = 0; i < sp.colHeaderRows(); ++i) {
            std::vector<QString> texts;
            for (int j = 1; j <= sp.maxCols(); ++j) texts.push_back(sp.text(j, SpreadGrid::kHeaderRow + i));
            sheet.appendBoldRow(texts);
        }
    }
    sheet.appendGridRows(sp);
    return sheet;
}

}  // namespace

QString ExportStamp() {
    const QDateTime now = g_fixedMoment.isValid() ? g_fixedMoment : QDateTime::currentDateTime();
    return now.toString(QStringLiteral("yyMMdd_HHmmss"));
}

void SetExportClockForTests(const QDateTime& fixedMoment) {
    g_fixedMoment = fixedMoment;
}

QString ExportToExcelFile(SpreadGrid* sp, const QString& sheetName, bool /*unused*/, bool skipConfirm,
                          bool wholeBook, bool openAfter, bool withHeaders) {
    return ExportToExcelFile(sp,
                             ExcelExportOptions{sheetName, skipConfirm, wholeBook, openAfter, withHeaders});
}

namespace {

// The export of `dataRows` rows of `cols` columns below `headerRows` header rows; `cells` gives the sheet
// once the user has agreed.
template <class Cells>
QString exportCells(int dataRows, int headerRows, int cols, const QString& gridName, const Cells& cells,
                    const ExcelExportOptions& options) {
    if (dataRows == 0) {
        ShowInfoMsg(QStringLiteral("엑셀로 보낼 데이터가 없습니다.") + QStringLiteral("\r\n") +
                    QStringLiteral("자료 조회 후 엑셀로 보내세요."));
        return QString();
    }
    if (!fitsWorkbook(dataRows + headerRows, cols)) return QString();
    if (!options.skipConfirm &&
        ShowQuestionMsg(QStringLiteral("엑셀로 자료를 내보내기 하시겠습니까?"), QString(), true) != kYes)
        return QString();

    QString workbook, log;
    TrapStep(kProc, kModule, [&] {
        const QString folder = app_paths::dataFolder() + QStringLiteral("/ExpExcel");
        const QString base = freeExportBase(folder, ExportStamp());
        workbook = base + QStringLiteral(".XLS");
        log = base + QStringLiteral("LOG.TXT");
        if (!QDir().mkpath(folder))
            throw AppError(75, QString::fromLatin1(kProc),
                           QStringLiteral("Path/File access error: ") + folder);
    });

    bool exported = false;
    QString why;
    {
        WaitCursor wait;
        TrapStep(kProc, kModule, [&] {
            const ExportSheet& sheet = cells();
            const QString name = !options.wholeBook   ? options.sheetName
                                 : gridName.isEmpty() ? QStringLiteral("Sheet1")
                                                      : gridName;
            exported = WriteExportSheet(sheet, workbook, name, log, &why);
        });
    }

    if (!exported) {
        // The system's reason (a full disk above all) tells the user what to do about it. Nothing was
        // written in the workbook's place, so nothing is opened.
        QString text = QStringLiteral("엑셀로 내보내기에 실패했습니다.");
        if (!why.isEmpty()) text += QStringLiteral("\r\n") + why;
        dialogs().messageBox({text, AppTitle(), Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok, 1});
        return QString();
    }
    if (options.openAfter && !shell::openDocument(workbook)) tellWhereWritten(workbook);
    return workbook;
}

}  // namespace

QString ExportToExcelFile(SpreadGrid* sp, const ExcelExportOptions& options) {
    std::optional<ExportSheet> copy;
    return exportCells(
        sp->dataRowCnt(), options.withHeaders ? sp->colHeaderRows() : 0, sp->maxCols(), sp->objectName(),
        [&]() -> const ExportSheet& { return copy.emplace(sheetOf(*sp, options.withHeaders)); }, options);
}

QString ExportToExcelFile(const ExportSheet& sheet, int headerRows, const ExcelExportOptions& options) {
    headerRows = options.withHeaders ? headerRows : 0;
    return exportCells(
        sheet.rowCount() - headerRows, headerRows, sheet.colCount(), sheet.gridName,
        [&]() -> const ExportSheet& { return sheet; }, options);
}
