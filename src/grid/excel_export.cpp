#include "grid/excel_export.h"

#include "common/msgbox.h"
#include "common/trap.h"
#include "grid/spread_helpers.h"
#include "platform/app_error.h"
#include "platform/app_paths.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "widgets/spread_grid.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace {

constexpr const char* kProc = "ExportToExcelFile";
constexpr const char* kModule = "modExcel";

// The format holds 65,536 rows and 256 columns on a sheet; a larger grid is refused before anything
// changes, with the limits in the message.
bool fitsWorkbook(SpreadGrid* sp, int headerRows) {
    const int rows = sp->dataRowCnt() + headerRows;
    if (rows <= SpreadGrid::kXlsMaxRows && sp->maxCols() <= SpreadGrid::kXlsMaxCols) return true;
    dialogs().messageBox(
        {QStringLiteral("엑셀 파일(.XLS)의 한 시트에는 65,536줄, 256칸까지만 저장할 수 있습니다.") +
             QStringLiteral("\r\n") +
             QStringLiteral("(내보낼 자료: %1줄, %2칸)").arg(rows).arg(sp->maxCols()),
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
    if (sp->dataRowCnt() == 0) {
        ShowInfoMsg(QStringLiteral("엑셀로 보낼 데이터가 없습니다.") + QStringLiteral("\r\n") +
                    QStringLiteral("자료 조회 후 엑셀로 보내세요."));
        return QString();
    }
    if (!fitsWorkbook(sp, withHeaders ? sp->colHeaderRows() : 0)) return QString();
    if (!skipConfirm &&
        ShowQuestionMsg(QStringLiteral("엑셀로 자료를 내보내기 하시겠습니까?"), QString(), true) != kYes)
        return QString();

    const bool wasReDraw = sp->reDraw();
    TrapStep(kProc, kModule, [&] { sp->setReDraw(false); });

    // The header rows become the first rows of the sheet: bold, centred static texts.
    int headerRows = 0;
    if (withHeaders) {
        TrapStep(kProc, kModule, [&] {
            const int h = sp->colHeaderRows();
            sp->setMaxRows(sp->maxRows() + h);
            headerRows = h;
            for (int i = 1; i <= h; ++i) {
                sp->insertRows(i, 1);
                for (int j = 1; j <= sp->maxCols(); ++j) {
                    sp->setCellType(j, i, SpreadGrid::CellType::StaticText);
                    sp->setTypeHAlign(j, i, SpreadGrid::HAlign::Center);
                    sp->setTypeVAlign(j, i, SpreadGrid::VAlign::Center);
                    sp->setFontBold(j, i, true);
                    sp->setText(j, i, GetSpreadText(sp, j, SpreadGrid::kHeaderRow + i - 1));
                }
            }
        });
    }

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
    {
        WaitCursor wait;
        const bool wasProtected = sp->protect();
        if (wasProtected) TrapStep(kProc, kModule, [&] { sp->setProtect(false); });
        TrapStep(kProc, kModule, [&] {
            exported =
                wholeBook ? sp->exportExcelBook(workbook, log) : sp->exportToExcel(workbook, sheetName, log);
        });
        if (wasProtected) TrapStep(kProc, kModule, [&] { sp->setProtect(true); });
    }

    QString result;
    if (!exported) {
        // The system's reason (a full disk above all) tells the user what to do about it. Nothing was
        // written in the workbook's place, so nothing is opened.
        QString text = QStringLiteral("엑셀로 내보내기에 실패했습니다.");
        if (const QString why = sp->lastExportError(); !why.isEmpty()) text += QStringLiteral("\r\n") + why;
        dialogs().messageBox({text, AppTitle(), Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok, 1});
    } else {
        result = workbook;
        if (openAfter && !shell::openDocument(workbook)) tellWhereWritten(workbook);
    }

    if (headerRows > 0)
        TrapStep(kProc, kModule, [&] {
            sp->deleteRows(1, headerRows);
            sp->setMaxRows(sp->maxRows() - headerRows);
        });
    TrapStep(kProc, kModule, [&] { sp->setReDraw(wasReDraw); });
    return result;
}
