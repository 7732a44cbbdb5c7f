// The print command of the main window (주문서), its preview (미리보기), the printer choice (프린터) and the
// marking of printed directions.
#include "orders/frm_main.h"

#include "common/msgbox.h"
#include "common/text_helpers.h"
#include "db/mysql_func.h"
#include "db/server_time.h"
#include "db/sql_text.h"
#include "labels/label_settings.h"
#include "orderdata/order_statements.h"
#include "orderdata/print_buy_order.h"
#include "orders/main_columns.h"
#include "orders/print_command.h"
#include "platform/app_error.h"
#include "platform/dialogs.h"
#include "platform/printer/page_printer.h"
#include "platform/printer/sheet_printer.h"
#include "platform/settings_store.h"
#include "print/buy_order.h"
#include "print/print_replay.h"
#include "startup/session.h"
#include "widgets/form_helpers.h"
#include "widgets/print_preview.h"
#include "widgets/spread_grid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>

namespace {

// Sheets longer than this show their progress, with a cancel button.
constexpr int kFewPages = 3;
using orderdata::kPrinted;

double codeOfRow(const SpreadGrid* grid, int row) {
    return LeadingNumber(grid->text(orders::kDirCode, row));
}

// The progress of one sheet's pages; cancelling stops before the next page.
class SheetProgress {
public:
    SheetProgress(int pages, QWidget* owner) {
        if (pages <= kFewPages) return;
        m_dialog = std::make_unique<QProgressDialog>(QStringLiteral("주문서를 출력하고 있습니다..."),
                                                     QStringLiteral("취소"), 0, pages, owner);
        m_dialog->setObjectName(QStringLiteral("dlgPrintProgress"));
        m_dialog->setWindowTitle(AppTitle());
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->show();
    }
    bool step(int done) {
        if (!m_dialog) return true;
        m_dialog->setValue(done);
        m_dialog->setLabelText(QStringLiteral("주문서를 출력하고 있습니다... (") + QString::number(done) +
                               QLatin1Char('/') + QString::number(m_dialog->maximum()) +
                               QStringLiteral("장)"));
        QCoreApplication::processEvents();
        return !m_dialog->wasCanceled();
    }

private:
    std::unique_ptr<QProgressDialog> m_dialog;
};

// A printer or print service that did not take a sheet is no fault of the program: the user is told which
// printer and why, and that nothing was marked. Anything else is the procedure error report.
QStringList fileNames(const QStringList& paths) {
    QStringList names;
    for (const QString& path : paths) names << QFileInfo(path).fileName();
    return names;
}

// A sheet's title as a file name: "주문서 라벤청과 2030-05-12" -> "주문서_라벤청과_2030-05-12.pdf";
// characters that file systems refuse become "_".
QString pdfFileName(const QString& title) {
    QString name = title.isEmpty() ? QStringLiteral("주문서") : title;
    for (QChar& ch : name)
        if (ch.isSpace() || QStringLiteral("/\\:*?\"<>|").contains(ch) || ch.unicode() < 0x20) ch = u'_';
    return name + QStringLiteral(".pdf");
}

void reportFailure(const AppError& e) {
    if (e.number() == page_printer::kPrinterError) {
        // What happened to which printer and what to do, then the numbers for support below it.
        const QString advice = page_printer::adviceFor(e);
        ShowErrorMsg((advice.isEmpty() ? QStringLiteral("주문서를 프린터로 보내지 못했습니다.") : advice) +
                         QStringLiteral(" 출력 표시는 하지 않았습니다."),
                     e);
    } else
        ShowProcError(QStringLiteral("btnPrint_Click"), QStringLiteral("frmMain"), e);
}

}  // namespace

namespace {

enum class MarkOutcome { Saved, NotSaved, ConnectionLost };

// Saves the mark of one direction without a box of its own. Printed twice within one second, the
// direction already holds exactly this mark: the update matches it and changes nothing, and nothing was
// lost. A direction that does not exist matches nothing; a failed statement is a failed save.
MarkOutcome markPrinted(double code) {
    const DBUpdateResult result = DBUpdate(orderdata::MarkPrintedSql(code, GetNowText(false, 0)));
    if (DBConnectionLost()) return MarkOutcome::ConnectionLost;
    return !result.failed && result.matched > 0 ? MarkOutcome::Saved : MarkOutcome::NotSaved;
}

// The one message of a connection lost while marking: the directions that came out on paper but are not
// marked, so that the clerk knows which to mark again, and the server's reason.
QString unmarkedMessage(const std::vector<double>& codes) {
    QStringList names;
    for (const double code : codes) names << FormatAmount(code, 0, false, true);
    QString text = QStringLiteral("출력 표시를 저장하지 못했습니다: ") + names.join(QStringLiteral(", "));
    if (DBConn() && DBConn()->err_no() != 0)
        text += QStringLiteral("\r\n(Error ") + QString::number(DBConn()->err_no()) + QLatin1Char(' ') +
                DBConn()->err_description() + QLatin1Char(')');
    return text;
}

}  // namespace

bool MarkDirectionPrinted(double code) {
    if (markPrinted(code) == MarkOutcome::Saved) return true;
    ShowInfoMsg(QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다."));
    return false;
}

bool OrderSheetCommand::DeliveryDateKind() const {
    return m_window.cmbField()->currentText() == orderdata::kKindDelivery;
}

bool OrderSheetCommand::Prepare() {
    if (DeliveryDateKind() && m_window.chkAhead()->isChecked()) {
        m_window.chkAhead()->setChecked(false);
        m_window.RunQuery();
    }
    if (codeOfRow(m_window.spListO(), m_window.spListO()->activeRow()) == 0) {
        ShowInfoMsg(QStringLiteral("출력할 주문내용이 없습니다. 우선 출력할 주문을 먼저 선택하세요."));
        return false;
    }
    m_stamp = QDateTime::currentDateTime().toString(Qt::ISODateWithMs);
    m_pdfFiles.clear();
    m_unmarked.clear();
    m_stopNote.clear();
    m_sheetPages = 0;
    m_chosenPrinter.clear();
    m_standInPrinter.clear();
    return true;
}

OrderSheetCommand::Sheet OrderSheetCommand::RecordFirstSheet() {
    const double code = codeOfRow(m_window.spListO(), m_window.spListO()->activeRow());
    if (!DeliveryDateKind()) return {PrintBuyOrder(code, false, false), Marking::ActiveRow, code};
    return {PrintBuyOrder(code, true, false), Marking::AllListed, code};
}

double OrderSheetCommand::AheadDirection() const {
    const QString sql = orderdata::AheadDirectionSql(m_window.DateText(), BuyerCode);
    return LeadingNumber(DBGetValue(sql));
}

bool OrderSheetCommand::Output(const Sheet& sheet, int sheetNumber) {
    const PrintDocument& document = sheet.document;
    SheetProgress progress(int(document.pages.size()), &m_window);
    page_printer::Job job;
    // The printer the user chose, even when it is no longer installed (the canvas then drew for the
    // current printer): the page printer sends to the default printer instead and says so, or, when the
    // print service does not answer at all, reports that rather than writing PDF files.
    const QString chosen = settings::get(AppTitle(), kPrinterSection, kPrinterKey, QString());
    job.printerName = chosen.isEmpty() ? document.printerName : chosen;
    // No printer settled for sheets: the clerk chooses once (declining sends nothing); a raw queue raises.
    bool declined = false;
    job.printerName = sheet_printer::settle(
        job.printerName, &m_window, AppTitle(),
        [](const QString& name) { settings::save(AppTitle(), kPrinterSection, kPrinterKey, name); },
        &declined);
    if (declined) return false;
    job.documentName = document.title.isEmpty() ? QStringLiteral("주문서") : document.title;
    job.pageCount = int(document.pages.size());
    job.paint = [&document](QPainter& painter, int page) { PaintPrintPage(painter, document.pages[page]); };
    job.progress = [&progress](int done, int) { return progress.step(done); };
    job.stamp = QDateTime::fromString(m_stamp, Qt::ISODateWithMs);
    job.sheet = sheetNumber;
    // Counted page by page, so that a page that fails still leaves the count of those before it.
    m_sheetPages = job.pageCount;
    m_sheetPagesSent = 0;
    job.pageSent = [this](int, const QString& file) {
        ++m_sheetPagesSent;
        if (!file.isEmpty()) m_pdfFiles << file;
    };
    const page_printer::Outcome outcome = page_printer::printPages(job);
    if (outcome.printerReplaced) {
        m_chosenPrinter = job.printerName;
        m_standInPrinter = outcome.printer;
    }
    if (outcome.cancelled)
        m_stopNote = QStringLiteral("주문서 출력을 취소했습니다. ") + QString::number(m_sheetPages) +
                     QStringLiteral("장 중 ") + QString::number(m_sheetPagesSent) +
                     QStringLiteral("장이 출력되었습니다.");
    m_sheetPages = m_sheetPagesSent = 0;  // this sheet is done
    return !outcome.cancelled;
}

std::vector<double> OrderSheetCommand::DirectionsToMark(const Sheet& sheet) {
    SpreadGrid* list = m_window.spListO();
    std::vector<double> codes;
    switch (sheet.marking) {
        case Marking::ActiveRow:
            codes.push_back(sheet.code);
            break;
        case Marking::AllListed:
            for (int row = 1; row <= list->maxRows(); ++row) codes.push_back(codeOfRow(list, row));
            break;
        case Marking::AheadListed:
            m_window.chkAhead()->setChecked(true);
            m_window.RunQuery();
            for (int row = 1; row <= list->maxRows(); ++row)
                if (list->text(orders::kDirState, row).isEmpty()) codes.push_back(codeOfRow(list, row));
            break;
    }
    return codes;
}

bool OrderSheetCommand::Mark(const Sheet& sheet) {
    const std::vector<double> codes = DirectionsToMark(sheet);
    bool connected = true;
    {
        // A lost connection is told once, after the loop, with every direction it left unmarked.
        DBQuietScope quiet;
        for (std::size_t i = 0; i < codes.size() && connected; ++i) {
            switch (markPrinted(codes[i])) {
                case MarkOutcome::Saved:
                    // The list shows the mark only when the server holds it.
                    if (sheet.marking == Marking::ActiveRow)
                        m_window.spListO()->setText(orders::kDirState, m_window.spListO()->activeRow(),
                                                    kPrinted);
                    break;
                case MarkOutcome::NotSaved:
                    ShowInfoMsg(QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다."));
                    break;
                case MarkOutcome::ConnectionLost:
                    m_unmarked = unmarkedMessage({codes.begin() + std::ptrdiff_t(i), codes.end()});
                    connected = false;
                    break;
            }
        }
    }
    if (sheet.marking == Marking::AheadListed && connected) {
        m_window.chkAhead()->setChecked(false);
        m_window.RunQuery();
    }
    return connected;
}

void OrderSheetCommand::NotePagesBeforeFailure() {
    // Only a sheet that failed part way; a failure before its first page or between sheets has no pages.
    if (m_sheetPagesSent == 0 || m_sheetPagesSent >= m_sheetPages || !m_stopNote.isEmpty()) return;
    m_stopNote = QStringLiteral("주문서 출력이 중단되었습니다. ") + QString::number(m_sheetPages) +
                 QStringLiteral("장 중 ") + QString::number(m_sheetPagesSent) +
                 QStringLiteral("장이 출력되었습니다.");
}

void OrderSheetCommand::TellWhereSheetsWent() {
    QString text = m_unmarked;
    const auto add = [&text](const QString& part) {
        if (!text.isEmpty()) text += QStringLiteral("\r\n\r\n");
        text += part;
    };
    if (!m_stopNote.isEmpty()) add(m_stopNote);
    if (!m_pdfFiles.isEmpty() && m_stopNote.isEmpty())
        add(QStringLiteral("설치된 프린터가 없어 주문서를 PDF 파일로 저장했습니다.\r\n") +
            QDir::toNativeSeparators(page_printer::pdfFolder()));
    else if (!m_pdfFiles.isEmpty())
        // Cancelled or failed part way: exactly the files that were written.
        add(QStringLiteral("저장된 PDF 파일 (") + QDir::toNativeSeparators(page_printer::pdfFolder()) +
            QStringLiteral("):\r\n") + fileNames(m_pdfFiles).join(QStringLiteral("\r\n")));
    else if (!m_standInPrinter.isEmpty())
        add(QStringLiteral("선택한 프린터(") + m_chosenPrinter + QStringLiteral(")가 없어 기본 프린터(") +
            m_standInPrinter +
            QStringLiteral(")로 주문서를 출력했습니다.\r\n[프린터] 버튼에서 프린터를 다시 선택하세요."));
    if (text.isEmpty()) return;
    if (m_pdfFiles.isEmpty())
        ShowInfoMsg(text);
    else
        ShowFilesMsg(text, page_printer::pdfFolder());
}

void OrderSheetCommand::Print() {
    try {
        if (!Prepare()) return;
        Sheet first = [&] {
            WaitCursor wait;
            return RecordFirstSheet();
        }();
        const bool printed = Output(first, 1);
        // A connection lost while marking ends the command: the ahead look-up would only fail again.
        if (printed && Mark(first)) {
            // The ahead sheet is read after the first sheet's directions are marked, so it leaves them out.
            const double ahead = first.marking == Marking::AllListed ? AheadDirection() : 0;
            if (ahead != 0) {
                Sheet second = [&] {
                    WaitCursor wait;
                    return Sheet{PrintBuyOrder(ahead, false, true), Marking::AheadListed, ahead};
                }();
                if (Output(second, 2)) Mark(second);
            }
        }
        TellWhereSheetsWent();
    } catch (const AppError& e) {
        NotePagesBeforeFailure();
        TellWhereSheetsWent();
        reportFailure(e);
    } catch (const std::exception& e) {
        NotePagesBeforeFailure();
        TellWhereSheetsWent();
        reportFailure(AppError(5, QStringLiteral("btnPrint_Click"), QString::fromLocal8Bit(e.what())));
    }
}

void OrderSheetCommand::PrintSheets(std::vector<Sheet>& sheets) {
    int number = 0;
    for (Sheet& sheet : sheets) {
        if (!Output(sheet, ++number) || !Mark(sheet)) break;
    }
}

void OrderSheetCommand::Preview() {
    std::vector<Sheet> sheets;
    try {
        if (!Prepare()) return;
        WaitCursor wait;
        sheets.push_back(RecordFirstSheet());
        const double ahead = sheets.front().marking == Marking::AllListed ? AheadDirection() : 0;
        if (ahead != 0) sheets.push_back({PrintBuyOrder(ahead, false, true), Marking::AheadListed, ahead});
    } catch (const AppError& e) {
        reportFailure(e);
        return;
    }
    // The pages of all sheets one after the other.
    std::vector<const PrintPage*> pages;
    for (const Sheet& sheet : sheets)
        for (const PrintPage& page : sheet.document.pages) pages.push_back(&page);
    frmPrintPreview preview(
        int(pages.size()), kPaperWidthMm, kPaperHeightMm,
        [&pages](QPainter& painter, int page) { PaintPrintPage(painter, *pages[std::size_t(page)]); },
        [&] {
            try {
                m_stamp = QDateTime::currentDateTime().toString(Qt::ISODateWithMs);
                m_pdfFiles.clear();
                m_unmarked.clear();
                m_stopNote.clear();
                m_sheetPages = 0;
                PrintSheets(sheets);
                TellWhereSheetsWent();
            } catch (const AppError& e) {
                NotePagesBeforeFailure();
                TellWhereSheetsWent();
                reportFailure(e);
            }
            return true;
        },
        [&pages](const QString& path) {
            std::vector<PrintPage> copy;
            for (const PrintPage* page : pages) copy.push_back(*page);
            QString error;
            if (!WritePrintPdf(copy, path, &error))
                ShowProcError(QStringLiteral("SavePdf"), QStringLiteral("frmPrintPreview"),
                              AppError(75, QStringLiteral("SavePdf"), error));
        },
        &m_window);
    preview.setSuggestedPdfName(pdfFileName(sheets.front().document.title));
    ShowModalOwned(&preview, &m_window);
}

// The buttons of the print command's neighbours and their place in the top bar.
void frmMain::CreatePrintButtons() {
    m_btnPreview = new QPushButton(QStringLiteral("미리보기"), pnlTop(0));
    m_btnPreview->setObjectName(QStringLiteral("btnPreview"));
    m_btnPreview->setFocusPolicy(Qt::TabFocus);
    m_btnPrinter = new QPushButton(QStringLiteral("프린터"), pnlTop(0));
    m_btnPrinter->setObjectName(QStringLiteral("btnPrinter"));
    m_btnPrinter->setFocusPolicy(Qt::TabFocus);
    m_btnPrinter->setToolTip(QStringLiteral("주문서를 인쇄할 프린터를 고릅니다"));
    PlacePrintButtons(15180);  // the design width of the client area, until the first resize
    connect(m_btnPrint, &QPushButton::clicked, this, &frmMain::PrintOrderSheet);
    connect(m_btnPreview, &QPushButton::clicked, this, &frmMain::PreviewOrderSheet);
    connect(m_btnPrinter, &QPushButton::clicked, this, &frmMain::ChooseOrderPrinter);
}

void frmMain::PlacePrintButtons(int width) {
    // Left of the query button: slot 6 for the preview, the printer choice beside it.
    PlaceFromRight(m_btnPreview, width, 6, 0);
    setTwipsGeometry(m_btnPreview, twipsLeft(m_btnPreview), 45, 1125, 375);
    PlaceFromRight(m_btnPrinter, width, 7, 0);
    setTwipsGeometry(m_btnPrinter, twipsLeft(m_btnPrinter), 45, 1125, 375);
}

void frmMain::PrintOrderSheet() {
    OrderSheetCommand(*this).Print();
}

void frmMain::PreviewOrderSheet() {
    OrderSheetCommand(*this).Preview();
}

// The printers of the print service in a menu at the button, the stored choice and the default printer
// marked; the choice is stored at once for the next sheets.
QString frmMain::PrinterStatusText() const {
    const QString chosen = settings::get(AppTitle(), kPrinterSection, kPrinterKey, QString());
    return QStringLiteral("주문서: ") + sheet_printer::describe(chosen) + QStringLiteral("
라벨: ") +
           label_settings::TargetText(label_settings::Load());
}

void frmMain::ChooseOrderPrinter() {
    const QStringList printers = page_printer::installedPrinterNames();
    if (printers.isEmpty()) {
        ShowInfoMsg(QStringLiteral("설치된 프린터가 없습니다. 주문서는 PDF 파일로 저장됩니다.\r\n") +
                    QDir::toNativeSeparators(page_printer::pdfFolder()));
        return;
    }
    const QString chosen = sheet_printer::chooseFromMenu(
        this, settings::get(AppTitle(), kPrinterSection, kPrinterKey, QString()), AppTitle());
    if (!chosen.isEmpty()) settings::save(AppTitle(), kPrinterSection, kPrinterKey, chosen);
}
