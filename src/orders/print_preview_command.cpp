// The preview of the print command (미리보기): the same sheets recorded and shown; 인쇄 there prints exactly
// those pages and marks exactly the directions they hold.
#include "orders/print_command.h"

#include "common/msgbox.h"
#include "orderdata/order_lists.h"
#include "orderdata/order_statements.h"
#include "orders/frm_main.h"
#include "orders/print_buy_order.h"
#include "platform/app_error.h"
#include "platform/dialogs.h"
#include "print/print_replay.h"
#include "startup/session.h"
#include "widgets/form_helpers.h"
#include "widgets/print_preview.h"

#include <QPainter>

namespace {

// A sheet's title as a file name: "주문서 라벤청과 2030-05-12" -> "주문서_라벤청과_2030-05-12.pdf";
// characters that file systems refuse become "_".
QString pdfFileName(const QString& title) {
    QString name = title.isEmpty() ? QStringLiteral("주문서") : title;
    for (QChar& ch : name)
        if (ch.isSpace() || QStringLiteral("/\\:*?\"<>|").contains(ch) || ch.unicode() < 0x20) ch = u'_';
    return name + QStringLiteral(".pdf");
}

std::vector<double> codesOf(const std::vector<orderdata::DirectionRow>& rows, bool unprintedOnly) {
    std::vector<double> codes;
    for (const orderdata::DirectionRow& row : rows)
        if (!unprintedOnly || row.state.isEmpty()) codes.push_back(row.codeNumber());
    return codes;
}

}  // namespace

void OrderSheetCommand::Preview() {
    std::vector<Sheet> sheets;
    bool recorded = false;
    Guarded([&] {
        if (!Prepare()) return;
        WaitCursor wait;
        sheets.push_back(RecordFirstSheet());
        Sheet& first = sheets.front();
        // What the pages hold, as the list shows it now: printing from the preview marks no other direction.
        first.shown = first.marking == Marking::ActiveRow ? std::vector<double>{first.code}
                                                          : codesOf(m_window.directions(), false);
        const double ahead = first.marking == Marking::AllListed ? AheadDirection() : 0;
        if (ahead != 0) {
            Sheet second{PrintBuyOrder(ahead, false, true), Marking::AheadListed, ahead, {}};
            // The ahead list as it stands while its sheet is recorded.
            const auto aheadList = orderdata::ReadDirectionList(
                orderdata::DateColumnOf(orderdata::kKindDelivery), BuyerCode, m_window.DateText(), true);
            second.shown = codesOf(aheadList.rows, true);
            sheets.push_back(std::move(second));
        }
        recorded = true;
    });
    if (!recorded) return;
    // The pages of all sheets one after the other.
    std::vector<const PrintPage*> pages;
    for (const Sheet& sheet : sheets)
        for (const PrintPage& page : sheet.document.pages) pages.push_back(&page);
    frmPrintPreview preview(
        int(pages.size()), kPaperWidthMm, kPaperHeightMm,
        [&pages](QPainter& painter, int page) { PaintPrintPage(painter, *pages[std::size_t(page)]); },
        [&] {
            StartRun();
            Guarded([&] { PrintSheets(sheets); });
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
