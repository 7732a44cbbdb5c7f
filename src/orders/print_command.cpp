// The print command of the main window (주문서): which sheets, their output page by page, and the marking
// of printed directions.
#include "orders/print_command.h"

#include "common/app_title.h"
#include "common/msgbox.h"
#include "common/text_helpers.h"
#include "db/mysql_func.h"
#include "orderdata/order_statements.h"
#include "orderdata/print_marking.h"
#include "orders/frm_main.h"
#include "orders/print_buy_order.h"
#include "orders/stored_sheet_printer.h"
#include "platform/app_error.h"
#include "platform/dialogs.h"
#include "platform/printer/page_printer.h"
#include "platform/printer/sheet_printer.h"
#include "print/print_replay.h"
#include "startup/session.h"
#include "widgets/progress_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPainter>

#include <algorithm>
#include <memory>

namespace {

// Sheets longer than this show their progress, with a cancel button.
constexpr int kFewPages = 3;

// The code of the selected direction; 0 when none is selected.
double activeCode(const frmMain& window) {
    const orderdata::DirectionRow* direction = window.DirectionAt(-2);
    return direction ? direction->codeNumber() : 0;
}

// The files a run wrote, as a box lists them: all of a few, otherwise the first and the last, so that the
// box fits the screen however long the run was.
QString fileList(const QStringList& paths) {
    constexpr int kListedInFull = 3;
    const auto name = [](const QString& path) { return QFileInfo(path).fileName(); };
    if (paths.size() > kListedInFull)
        return name(paths.front()) + QStringLiteral("\r\n...\r\n") + name(paths.back());
    QStringList names;
    for (const QString& path : paths) names << name(path);
    return names.join(QStringLiteral("\r\n"));
}

// What the clerk reads of a printer or print service that did not take a sheet: which printer, why and
// what to do; it is no fault of the program.
QString printerAdvice(const AppError& e) {
    const QString advice = page_printer::adviceFor(e);
    return (advice.isEmpty() ? QStringLiteral("주문서를 프린터로 보내지 못했습니다.") : advice) +
           QStringLiteral(" 출력 표시는 하지 않았습니다.");
}

// A failure that is all there is to tell: a printer's in the error box (the clerk's line, then the numbers
// for support below it), anything else as the procedure error report.
void reportFailure(const AppError& e) {
    if (e.number() == page_printer::kPrinterError)
        ShowErrorMsg(printerAdvice(e), e);
    else
        ShowProcError(QStringLiteral("btnPrint_Click"), QStringLiteral("frmMain"), e);
}

// A failure told below what came out: the clerk's line and the technical line, as the boxes above have them.
QString failureLine(const AppError& e) {
    if (e.number() == page_printer::kPrinterError) return printerAdvice(e);
    if (e.number() == 75)
        return QStringLiteral(
            "PDF 파일을 저장하지 못했습니다. 디스크에 빈 공간이 있는지, 폴더에 쓸 수 "
            "있는지 확인하세요.");
    return QStringLiteral("주문서를 출력하지 못했습니다.");
}
QString technicalLine(const AppError& e) {
    if (e.number() == page_printer::kPrinterError)
        return QStringLiteral("오류번호 : ") + QString::number(e.number()) +
               QStringLiteral("\r\n오류내용 : ") + e.description();
    return QStringLiteral("Error ") + QString::number(e.number()) + QStringLiteral(" (") + e.description() +
           QStringLiteral(") in procedure btnPrint_Click of Module frmMain");
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

// Whether the list showed the direction marked "출력" when this run read it.
bool markedBefore(const frmMain& window, double code) {
    for (const orderdata::DirectionRow& direction : window.directions())
        if (direction.codeNumber() == code) return direction.printed();
    return false;
}

const QString kNotSaved = QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다.");

}  // namespace

bool MarkDirectionPrinted(double code) {
    if (orderdata::MarkPrinted(code) == orderdata::MarkOutcome::Saved) return true;
    ShowInfoMsg(kNotSaved);
    return false;
}

void OrderSheetCommand::StartRun() {
    m_run = RunState{};
    m_run.stamp = QDateTime::currentDateTime().toString(Qt::ISODateWithMs);
}

void OrderSheetCommand::Guarded(const std::function<void()>& path) {
    try {
        path();
    } catch (const AppError&) {
        NotePagesBeforeFailure();
        m_run.failure = std::current_exception();
    } catch (const std::exception& e) {
        NotePagesBeforeFailure();
        m_run.failure = std::make_exception_ptr(
            AppError(5, QStringLiteral("btnPrint_Click"), QString::fromLocal8Bit(e.what())));
    }
    TellHowTheRunEnded();
}

bool OrderSheetCommand::DeliveryDateKind() const {
    return m_window.cmbField()->currentText() == orderdata::kKindDelivery;
}

bool OrderSheetCommand::Prepare() {
    if (DeliveryDateKind() && m_window.chkAhead()->isChecked()) {
        m_window.chkAhead()->setChecked(false);
        m_window.RunQuery();
    }
    if (activeCode(m_window) == 0) {
        ShowInfoMsg(QStringLiteral("출력할 주문내용이 없습니다. 우선 출력할 주문을 먼저 선택하세요."));
        return false;
    }
    StartRun();
    return true;
}

OrderSheetCommand::Sheet OrderSheetCommand::RecordFirstSheet() {
    const double code = activeCode(m_window);
    if (!DeliveryDateKind()) return {PrintBuyOrder(code, false, false), Marking::ActiveRow, code, {}};
    return {PrintBuyOrder(code, true, false), Marking::AllListed, code, {}};
}

double OrderSheetCommand::AheadDirection() const {
    return orderdata::AheadDirectionCode(m_window.DateText(), BuyerCode);
}

bool OrderSheetCommand::Output(const Sheet& sheet, int sheetNumber) {
    const PrintDocument& document = sheet.document;
    const int pages = int(document.pages.size());
    std::unique_ptr<ProgressBox> progress;
    if (pages > kFewPages) {
        progress = std::make_unique<ProgressBox>(QStringLiteral("주문서를 출력하고 있습니다..."), AppTitle(),
                                                 QStringLiteral("dlgPrintProgress"), pages, &m_window);
        progress->setCountUnit(QStringLiteral("장"));
    }
    page_printer::Job job;
    // The printer the user chose, even when it is no longer installed (the canvas then drew for the
    // current printer): the page printer sends to the default printer instead and says so, or, when the
    // print service does not answer at all, reports that rather than writing PDF files.
    const QString chosen = StoredSheetPrinter();
    job.printerName = chosen.isEmpty() ? document.printerName : chosen;
    // No printer settled for sheets: the clerk chooses once (declining sends nothing); a raw queue raises.
    bool declined = false;
    job.printerName =
        sheet_printer::settle(job.printerName, &m_window, AppTitle(), &StoreSheetPrinter, &declined);
    if (declined) return false;
    job.documentName = document.title.isEmpty() ? QStringLiteral("주문서") : document.title;
    job.pageCount = pages;
    job.paint = [&document](QPainter& painter, int page) { PaintPrintPage(painter, document.pages[page]); };
    job.progress = [&progress](int done, int) { return !progress || progress->step(done); };
    job.stamp = QDateTime::fromString(m_run.stamp, Qt::ISODateWithMs);
    job.sheet = sheetNumber;
    // Counted page by page, so that a page that fails still leaves the count of those before it.
    m_run.sheetPages = job.pageCount;
    m_run.sheetPagesSent = 0;
    job.pageSent = [this](int, const QString& file) {
        ++m_run.sheetPagesSent;
        ++m_run.pagesSent;
        if (!file.isEmpty()) m_run.pdfFiles << file;
    };
    const page_printer::Outcome outcome = page_printer::printPages(job);
    if (outcome.printerReplaced) {
        m_run.chosenPrinter = job.printerName;
        m_run.standInPrinter = outcome.printer;
    }
    if (outcome.cancelled)
        m_run.stopNote = QStringLiteral("주문서 출력을 취소했습니다. ") + QString::number(m_run.sheetPages) +
                         QStringLiteral("장 중 ") + QString::number(m_run.sheetPagesSent) +
                         QStringLiteral("장이 출력되었습니다.");
    m_run.sheetPages = m_run.sheetPagesSent = 0;  // this sheet is done
    return !outcome.cancelled;
}

std::vector<double> OrderSheetCommand::DirectionsToMark(const Sheet& sheet) {
    std::vector<double> codes;
    switch (sheet.marking) {
        case Marking::ActiveRow:
            codes.push_back(sheet.code);
            break;
        case Marking::AllListed:
            for (const orderdata::DirectionRow& direction : m_window.directions())
                codes.push_back(direction.codeNumber());
            break;
        case Marking::AheadListed:
            m_window.chkAhead()->setChecked(true);
            m_window.RunQuery();
            for (const orderdata::DirectionRow& direction : m_window.directions())
                if (direction.state.isEmpty()) codes.push_back(direction.codeNumber());
            break;
    }
    // Pages shown before they were printed mark only the directions they hold.
    if (sheet.shown)
        std::erase_if(codes, [&](double code) {
            return std::find(sheet.shown->begin(), sheet.shown->end(), code) == sheet.shown->end();
        });
    return codes;
}

bool OrderSheetCommand::Mark(const Sheet& sheet) {
    const std::vector<double> codes = DirectionsToMark(sheet);
    bool connected = true;
    {
        // A lost connection is told once, after the loop, with every direction it left unmarked.
        DBQuietScope quiet;
        for (std::size_t i = 0; i < codes.size() && connected; ++i) {
            switch (orderdata::MarkPrinted(codes[i])) {
                case orderdata::MarkOutcome::Saved:
                    // The list shows the mark only when the server holds it.
                    if (sheet.marking == Marking::ActiveRow && m_window.DirectionAt(-2))
                        m_window.ShowPrinted(m_window.DirectionAt(-2)->code);
                    break;
                case orderdata::MarkOutcome::NotSaved:
                    ShowInfoMsg(kNotSaved);
                    break;
                case orderdata::MarkOutcome::ConnectionLost: {
                    // Directions that held their mark before this run lost nothing.
                    std::vector<double> left;
                    for (std::size_t j = i; j < codes.size(); ++j)
                        if (!markedBefore(m_window, codes[j])) left.push_back(codes[j]);
                    m_run.unmarked = unmarkedMessage(left);
                    connected = false;
                    break;
                }
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
    if (m_run.sheetPagesSent == 0 || m_run.sheetPagesSent >= m_run.sheetPages || !m_run.stopNote.isEmpty())
        return;
    m_run.stopNote = QStringLiteral("주문서 출력이 중단되었습니다. ") + QString::number(m_run.sheetPages) +
                     QStringLiteral("장 중 ") + QString::number(m_run.sheetPagesSent) +
                     QStringLiteral("장이 출력되었습니다.");
}

void OrderSheetCommand::TellHowTheRunEnded() {
    // The failure as it was raised, so that a printer's keeps the clerk's line it carries.
    const std::unique_ptr<AppError> failure = [this]() -> std::unique_ptr<AppError> {
        if (!m_run.failure) return nullptr;
        try {
            std::rethrow_exception(m_run.failure);
        } catch (const page_printer::PrinterFailure& e) {
            return std::make_unique<page_printer::PrinterFailure>(e);
        } catch (const AppError& e) {
            return std::make_unique<AppError>(e);
        }
    }();
    const bool cameOut = m_run.pagesSent > 0 || !m_run.stopNote.isEmpty();
    if (failure && !cameOut && m_run.unmarked.isEmpty() && m_run.standInPrinter.isEmpty()) {
        reportFailure(*failure);  // nothing else to tell
        return;
    }
    QString text = m_run.unmarked;
    const auto add = [&text](const QString& part) {
        if (!text.isEmpty()) text += QStringLiteral("\r\n\r\n");
        text += part;
    };
    // How far the run came and why it stopped.
    if (!m_run.stopNote.isEmpty())
        add(m_run.stopNote);
    else if (failure && m_run.pagesSent > 0)
        add(QStringLiteral("주문서 출력이 중단되었습니다. ") + QString::number(m_run.pagesSent) +
            QStringLiteral("장이 출력되었습니다."));
    else if (!m_run.pdfFiles.isEmpty())
        add(QStringLiteral("설치된 프린터가 없어 주문서를 PDF 파일로 저장했습니다."));
    const auto line = [&text](const QString& part) {
        text += (text.isEmpty() ? QString() : QStringLiteral("\r\n")) + part;
    };
    if (failure) line(failureLine(*failure));
    // Exactly the files that were written: their count, the folder, the first and the last.
    if (!m_run.pdfFiles.isEmpty())
        line(QStringLiteral("저장된 PDF 파일 ") + QString::number(m_run.pdfFiles.size()) +
             QStringLiteral("개 (") + QDir::toNativeSeparators(page_printer::pdfFolder()) +
             QStringLiteral("):\r\n") + fileList(m_run.pdfFiles));
    else if (!m_run.standInPrinter.isEmpty())
        add(QStringLiteral("선택한 프린터(") + m_run.chosenPrinter + QStringLiteral(")가 없어 기본 프린터(") +
            m_run.standInPrinter +
            QStringLiteral(")로 주문서를 출력했습니다.\r\n[프린터] 버튼에서 프린터를 다시 선택하세요."));
    // The numbers for support, last.
    if (failure) add(technicalLine(*failure));
    if (text.isEmpty()) return;
    ShowOutcomeMsg(text, m_run.pdfFiles.isEmpty() ? QString() : page_printer::pdfFolder(), bool(failure));
}

void OrderSheetCommand::Print() {
    Guarded([this] {
        if (!Prepare()) return;
        Sheet first = [&] {
            WaitCursor wait;
            return RecordFirstSheet();
        }();
        // A connection lost while marking ends the command: the ahead look-up would only fail again.
        if (!Output(first, 1) || !Mark(first)) return;
        // The ahead sheet is read after the first sheet's directions are marked, so it leaves them out.
        const double ahead = first.marking == Marking::AllListed ? AheadDirection() : 0;
        if (ahead == 0) return;
        Sheet second = [&] {
            WaitCursor wait;
            return Sheet{PrintBuyOrder(ahead, false, true), Marking::AheadListed, ahead, {}};
        }();
        if (Output(second, 2)) Mark(second);
    });
}

void OrderSheetCommand::PrintSheets(std::vector<Sheet>& sheets) {
    int number = 0;
    for (Sheet& sheet : sheets) {
        if (!Output(sheet, ++number) || !Mark(sheet)) break;
    }
}
