#include "print/sheet_layout.h"

#include "common/date_input.h"
#include "common/text_helpers.h"
#include "print/buy_order.h"
#include "print/print_canvas.h"

#include <QDate>

namespace {

constexpr int kSlotsPerPage = 18;
constexpr double kRowHeight = 13;
constexpr double kLeft = 10;
constexpr double kRight = 198;
constexpr double kHeaderHeight = 9;
constexpr double kRowSize = 12;     // points, row and header texts
constexpr double kTextOffset = 5;   // a row's texts below its top
constexpr double kLabelOffset = 3;  // a header's labels below its top
constexpr double kCellPad = 0.5;    // room kept between a text and the rule on its side

// The top of row slot n (1 to 18).
double slotTop(int n) {
    return kRowHeight * n + 29;
}

struct Column {
    double left;
    double right;
    const char16_t* label;
};
// The order-line table: number, kind, product, quantity, unit, customer, remark, car.
constexpr Column kLineColumns[] = {
    {10, 20, u"번호"},   {20, 30, u"구분"},     {30, 108, u"품     명"}, {108, 121, u"수량"},
    {121, 136, u"단위"}, {136, 154, u"거래처"}, {154, 187, u"비 고"},    {187, 198, u"차"},
};
constexpr double kLineRules[] = {10, 20, 30, 108, 121, 136, 154, 187, 198};
// The summary table: number, product (its label over the first 88 mm), quantity, unit.
constexpr Column kSummaryLabels[] = {
    {10, 20, u"번호"}, {20, 108, u"품     명"}, {170, 183, u"수량"}, {183, 198, u"단위"}};
constexpr double kSummaryRules[] = {10, 20, 170, 183, 198};

void verticalRules(PrintCanvas& canvas, const double* xs, std::size_t count, double top, double bottom) {
    for (std::size_t i = 0; i < count; ++i) canvas.PrintLine_abs(top, xs[i], bottom, xs[i], 1, Qt::black);
}

void horizontalRule(PrintCanvas& canvas, double y) {
    canvas.PrintLine_abs(y, kLeft, y, kRight, 1, Qt::black);
}

// A stored quantity as the sheet shows it: one decimal when it has one, thousands grouped, 0 shown.
QString quantityText(const QString& qnt) {
    return FormatAmount(LeadingNumber(qnt), QtyDecimals(), true, true);
}

QString markOf(int branch) {
    if (branch == 0) return QStringLiteral("선");
    if (branch == 2) return QStringLiteral("추가");
    return QString();
}

// "yyyy년mm월dd일"; a text that is no date stays as it is.
QString purchaseDateText(const QString& date) {
    if (!StoredDate(date).isValid()) return date;
    return date.left(4) + u'년' + date.mid(5, 2) + u'월' + date.mid(8, 2) + u'일';
}

// "mm/dd" of a delivery date.
QString monthSlashDay(const QString& date) {
    return StoredDate(date).isValid() ? date.mid(5, 2) + u'/' + date.mid(8, 2) : date;
}

// The leading number of a car name ("1호차" is car 1), "0" without a car.
QString carNumber(const QString& carname) {
    return FormatAmount(LeadingNumber(carname), 0, false, true);
}

void printTitleBlock(PrintCanvas& canvas, int mode, const QString& buyerName, const QString& purchaseDate,
                     int page, int pages, bool noDeliveryLine) {
    const QString title =
        mode == 2 ? QStringLiteral("라벤푸드 주문서(마감후추가)") : QStringLiteral("라벤푸드 주문서");
    canvas.PrintText_abs(8.5, kLeft, title, 20, true, 1, kRight);
    const QString pageText = QStringLiteral("Page.") + QString::number(page) + QLatin1Char('/') +
                             QString::number(pages) + QStringLiteral(" (총") + QString::number(pages) +
                             QStringLiteral("장)");
    const QString deliveryText = QStringLiteral("납 품 일 : ") + purchaseDateText(purchaseDate) +
                                 QLatin1Char(' ') + GetWeekdayName(purchaseDate) + QStringLiteral("요일");
    canvas.SetPrnFont(12, 1);
    // The buyer's name ends before the centred delivery date (or the page number), however long it is.
    const double buyerRight = noDeliveryLine ? kRight - canvas.PrnTextWidth(pageText)
                                             : (kLeft + kRight - canvas.PrnTextWidth(deliveryText)) / 2;
    canvas.PrintCellText(26, kLeft, buyerRight - 2, QStringLiteral("수 신 처 : ") + buyerName, 12, true);
    if (!noDeliveryLine) canvas.PrintText_abs(26, kLeft, deliveryText, 12, true, 1, kRight);
    canvas.PrintText_abs(26, kLeft, pageText, 12, true, 2, kRight);
}

template <std::size_t N, std::size_t R>
void printTableHeader(PrintCanvas& canvas, double y0, const Column (&labels)[N], const double (&rules)[R]) {
    horizontalRule(canvas, y0);
    horizontalRule(canvas, y0 + kHeaderHeight);
    verticalRules(canvas, rules, R, y0, y0 + kHeaderHeight);
    for (const Column& c : labels)
        canvas.PrintText_abs(y0 + kLabelOffset, c.left, QString::fromUtf16(c.label), kRowSize, false, 1,
                             c.right);
}

void printTableHeader(PrintCanvas& canvas, int kind, double y0) {
    if (kind == 0) printTableHeader(canvas, y0, kLineColumns, kLineRules);
    if (kind == 1) printTableHeader(canvas, y0, kSummaryLabels, kSummaryRules);
}

// The summary after the lines; n and p go on from where the lines left them (n -1: the page is empty).
void placeSummary(PrintCanvas& canvas, const SheetData& sheet, int pages, int& n, int& p) {
    int j = 0;
    for (const SummaryRow& row : sheet.summary) {
        ++j;
        ++n;
        if (j == 1) {
            const int c = n + 1;
            canvas.PrintText_abs(kRowHeight * c + 26, kLeft, QStringLiteral("집계표"), kRowSize, true);
            // A page that already carries the title block (the lines' page) does not get it twice.
            if (n == 0)
                PrintOrderHeader(canvas, 1, sheet.mode, kRowHeight * c + 33, sheet.buyerName, sheet.bdate, p,
                                 pages, false);
            else
                printTableHeader(canvas, 1, kRowHeight * c + 33);
            n = c + 1;
        } else if (n == 1) {
            PrintOrderHeader(canvas, 1, sheet.mode, 33, sheet.buyerName, sheet.bdate, p, pages, false);
        }
        PrintOrderRow(canvas, 1, slotTop(n), j, QString(), row.pname, row.qnt, row.unit, QString(), QString(),
                      QString(), QString());
        if (n > 17) {
            canvas.PrnEndDoc();
            n = 0;
            ++p;
        }
    }
}

void placeNotices(PrintCanvas& canvas, const SheetData& sheet, int pages, int& n, int& p) {
    if (n > 15) {
        canvas.PrnEndDoc();
        ++p;
        PrintOrderHeader(canvas, 2, sheet.mode, 0, sheet.buyerName, sheet.bdate, p, pages, false);
    }
    canvas.PrintLine_abs(237, kLeft, 276, kRight, 12, Qt::black, true, false);
    canvas.PrintText_abs(239, 12, QStringLiteral("공지사항:"), 14, true);
    canvas.PrintParagraph(12, 248, sheet.notices, -1, 88, Qt::black, 12, false);
}

}  // namespace

QString GetWeekdayName(const QString& date) {
    static const char16_t* const kNames[] = {u"월", u"화", u"수", u"목", u"금", u"토", u"일"};
    const QDate d = StoredDate(date);
    return d.isValid() ? QString::fromUtf16(kNames[d.dayOfWeek() - 1]) : QString();
}

void PrintOrderHeader(PrintCanvas& canvas, int kind, int mode, double y0, const QString& buyerName,
                      const QString& purchaseDate, int page, int pages, bool noDeliveryLine) {
    printTitleBlock(canvas, mode, buyerName, purchaseDate, page, pages, noDeliveryLine);
    printTableHeader(canvas, kind, y0);
}

void PrintOrderRow(PrintCanvas& canvas, int kind, double y, int number, const QString& mark,
                   const QString& product, const QString& quantity, const QString& unit,
                   const QString& customer, const QString& remark, const QString& car,
                   const QString& deliveryDate) {
    const double bottom = y + kRowHeight;
    const double textY = y + kTextOffset;
    if (kind == 1) {
        verticalRules(canvas, kSummaryRules, std::size(kSummaryRules), y, bottom);
        canvas.PrintText_abs(textY, 10, QString::number(number), kRowSize, false, 1, 20);
        canvas.PrintCellText(textY, 21, 170 - kCellPad, product, kRowSize, false);
        canvas.PrintCellText(textY, 170 + kCellPad, 182, quantityText(quantity), 0, false, 2, 0, false);
        canvas.PrintCellText(textY, 184, kRight - kCellPad, unit, kRowSize, false);
        horizontalRule(canvas, bottom);
        return;
    }
    verticalRules(canvas, kLineRules, std::size(kLineRules), y, bottom);
    canvas.PrintText_abs(textY, 10, QString::number(number), kRowSize, false, 1, 21);
    if (deliveryDate.isEmpty()) {
        canvas.PrintText_abs(textY, 20, mark, kRowSize, false, 1, 31);
    } else {
        canvas.PrintText_abs(y + 2, 20, mark, kRowSize, false, 1, 31);
        canvas.PrintText_abs(y + 8, 20, monthSlashDay(deliveryDate), 9, false, 1, 31);
    }
    canvas.PrintCellText(textY, 31, 108 - kCellPad, product, kRowSize, false, 0, 36);
    canvas.PrintCellText(textY, 108 + kCellPad, 120, quantityText(quantity), 0, false, 2, 0, false);
    canvas.PrintCellText(textY, 122, 136 - kCellPad, unit, kRowSize, false);
    canvas.PrintCellText(textY, 137, 154 - kCellPad, customer, kRowSize, false);
    canvas.PrintCellText(textY, 155, 187 - kCellPad, remark, kRowSize, false, 0, 15);
    canvas.PrintCellText(textY, 188, kRight, car, kRowSize, false, 1);
    horizontalRule(canvas, bottom);
}

int EstimatedPages(const SheetData& sheet) {
    const int f = int(sheet.lines.size());
    const int reserved = f % kSlotsPerPage < 16 ? f + 2 : (f / kSlotsPerPage + 1) * kSlotsPerPage;
    const int m =
        reserved + (sheet.withNotices ? 4 : 0) + (sheet.withSummary ? int(sheet.summary.size()) : 0);
    return std::max(1, m / kSlotsPerPage + (m % kSlotsPerPage != 0 ? 1 : 0));
}

void LayOutSheet(PrintCanvas& canvas, const SheetData& sheet, int pages) {
    int n = 0;
    int i = 0;
    int p = 1;
    for (const SheetLine& line : sheet.lines) {
        if (n == 0)
            PrintOrderHeader(canvas, 0, sheet.mode, 33, sheet.buyerName, sheet.bdate, p, pages, sheet.ahead);
        ++n;
        ++i;
        PrintOrderRow(canvas, 0, slotTop(n), i, markOf(line.branch), line.pname, line.qnt, line.unit,
                      line.nickname, line.bigo, carNumber(line.carname),
                      sheet.ahead ? line.sdate : QString());
        if (n > 17) {
            canvas.PrnEndDoc();
            n = 0;
            ++p;
        }
    }
    if (n == 0) {
        n = -1;
    } else if (n % kSlotsPerPage > 15) {
        canvas.PrnEndDoc();
        ++p;
        n = -1;
    }
    if (sheet.withSummary) placeSummary(canvas, sheet, pages, n, p);
    if (sheet.withNotices) placeNotices(canvas, sheet, pages, n, p);
    canvas.PrnEndDoc();
}

PrintDocument RecordSheet(const SheetData& sheet, const QString& printerName) {
    PrintCanvas canvas;
    int pages = EstimatedPages(sheet);
    canvas.PrnInit(printerName, kScaleMillimeters);
    LayOutSheet(canvas, sheet, pages);
    PrintDocument document = canvas.PrnTakeDocument();
    // The announced count is an estimate made before the first page; where the pages came out otherwise
    // (18 lines and nothing after them, a summary that needs one slot more), the sheet is drawn again
    // with the count it really has, so that no page says "1/2" on a sheet of one.
    if (!document.pages.empty() && int(document.pages.size()) != pages) {
        pages = int(document.pages.size());
        canvas.PrnInit(QString(), kScaleMillimeters);
        LayOutSheet(canvas, sheet, pages);
        document = canvas.PrnTakeDocument();
    }
    return document;
}
