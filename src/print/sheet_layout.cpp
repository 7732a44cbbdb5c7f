#include "print/sheet_layout.h"

#include "common/date_input.h"
#include "common/text_helpers.h"
#include "print/buy_order.h"
#include "print/print_canvas.h"

#include <QDate>

#include <span>

namespace {

using namespace sheet_geometry;

// Where a text sits between its cell's edges (the canvas's halign).
enum class Align { Left = 0, Centre = 1, Right = 2 };
// How a text wider than its cell is fitted: drawn as it stands (numbers and marks always fit), condensed
// (a quantity never loses a digit), or condensed and then cut at the cell's edge.
enum class Fit { AsIs, Condense, CondenseOrCut };
// Which text of a row a column shows.
enum class Cell { Number, Mark, Product, Quantity, Unit, Customer, Remark, Car };

struct Column {
    double left;  // its rules: every column's left, and the last one's right
    double right;
    const char16_t* label;
    double labelRight;  // the header label is centred between left and this
    double textLeft;    // a row's text goes between these two
    double textRight;
    Align align;
    int wrap;  // bytes a line of the text holds, two lines at most; 0: one line
    Fit fit;
    Cell cell;
};

// The order-line table: number, kind (the mark), product, quantity, unit, customer, remark, car.
constexpr Column kLineColumns[] = {
    {10, 20, u"번호", 20, 10, 21, Align::Centre, 0, Fit::AsIs, Cell::Number},
    {20, 30, u"구분", 30, 20, 31, Align::Centre, 0, Fit::AsIs, Cell::Mark},
    {30, 108, u"품     명", 108, 31, 108 - kCellPad, Align::Left, 36, Fit::CondenseOrCut, Cell::Product},
    {108, 121, u"수량", 121, 108 + kCellPad, 120, Align::Right, 0, Fit::Condense, Cell::Quantity},
    {121, 136, u"단위", 136, 122, 136 - kCellPad, Align::Left, 0, Fit::CondenseOrCut, Cell::Unit},
    {136, 154, u"거래처", 154, 137, 154 - kCellPad, Align::Left, 0, Fit::CondenseOrCut, Cell::Customer},
    {154, 187, u"비 고", 187, 155, 187 - kCellPad, Align::Left, 15, Fit::CondenseOrCut, Cell::Remark},
    {187, 198, u"차", 198, 188, kRight, Align::Centre, 0, Fit::CondenseOrCut, Cell::Car},
};
// The summary table: number, product (its label over the first 88 mm), quantity, unit.
constexpr Column kSummaryColumns[] = {
    {10, 20, u"번호", 20, 10, 20, Align::Centre, 0, Fit::AsIs, Cell::Number},
    {20, 170, u"품     명", 108, 21, 170 - kCellPad, Align::Left, 0, Fit::CondenseOrCut, Cell::Product},
    {170, 183, u"수량", 183, 170 + kCellPad, 182, Align::Right, 0, Fit::Condense, Cell::Quantity},
    {183, 198, u"단위", 198, 184, kRight - kCellPad, Align::Left, 0, Fit::CondenseOrCut, Cell::Unit},
};

// An ahead sheet's mark sits higher in its cell, with the line's delivery date in small type under it.
constexpr double kMarkOverDateOffset = 2;
constexpr double kDateOffset = 8;
constexpr double kDateSize = 9;

std::span<const Column> columnsOf(RowKind kind) {
    if (kind == RowKind::OrderLine) return kLineColumns;
    if (kind == RowKind::Summary) return kSummaryColumns;
    return {};
}

void verticalRules(PrintCanvas& canvas, RowKind kind, double top, double bottom) {
    for (const double x : ColumnRules(kind)) canvas.PrintLine_abs(top, x, bottom, x, 1, Qt::black);
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

void printTitleBlock(PrintCanvas& canvas, SheetMode mode, const QString& buyerName,
                     const QString& purchaseDate, int page, int pages, bool noDeliveryLine) {
    const QString title = mode == SheetMode::Late ? QStringLiteral("라벤푸드 주문서(마감후추가)")
                                                  : QStringLiteral("라벤푸드 주문서");
    canvas.PrintText_abs(kTitleY, kLeft, title, kTitleSize, true, 1, kRight);
    const QString pageText = QStringLiteral("Page.") + QString::number(page) + QLatin1Char('/') +
                             QString::number(pages) + QStringLiteral(" (총") + QString::number(pages) +
                             QStringLiteral("장)");
    const QString deliveryText = QStringLiteral("납 품 일 : ") + purchaseDateText(purchaseDate) +
                                 QLatin1Char(' ') + GetWeekdayName(purchaseDate) + QStringLiteral("요일");
    canvas.SetPrnFont(kRowSize, 1);
    // The buyer's name ends before the centred delivery date (or the page number), however long it is.
    const double buyerRight = noDeliveryLine ? kRight - canvas.PrnTextWidth(pageText)
                                             : (kLeft + kRight - canvas.PrnTextWidth(deliveryText)) / 2;
    canvas.PrintCellText(kTitleLineY, kLeft, buyerRight - 2, QStringLiteral("수 신 처 : ") + buyerName,
                         kRowSize, true);
    if (!noDeliveryLine) canvas.PrintText_abs(kTitleLineY, kLeft, deliveryText, kRowSize, true, 1, kRight);
    canvas.PrintText_abs(kTitleLineY, kLeft, pageText, kRowSize, true, 2, kRight);
}

void printTableHeader(PrintCanvas& canvas, RowKind kind, double y0) {
    const std::span<const Column> columns = columnsOf(kind);
    if (columns.empty()) return;
    horizontalRule(canvas, y0);
    horizontalRule(canvas, y0 + kHeaderHeight);
    verticalRules(canvas, kind, y0, y0 + kHeaderHeight);
    for (const Column& c : columns)
        canvas.PrintText_abs(y0 + kLabelOffset, c.left, QString::fromUtf16(c.label), kRowSize, false, 1,
                             c.labelRight);
}

QString cellText(const SheetRow& row, Cell cell) {
    switch (cell) {
        case Cell::Number:
            return QString::number(row.number);
        case Cell::Mark:
            return row.mark;
        case Cell::Product:
            return row.product;
        case Cell::Quantity:
            return quantityText(row.quantity);
        case Cell::Unit:
            return row.unit;
        case Cell::Customer:
            return row.customer;
        case Cell::Remark:
            return row.remark;
        case Cell::Car:
            return row.car;
    }
    return QString();
}

void printCell(PrintCanvas& canvas, const Column& c, double y, const SheetRow& row) {
    const double textY = y + kTextOffset;
    if (c.cell == Cell::Mark && !row.deliveryDate.isEmpty()) {
        canvas.PrintText_abs(y + kMarkOverDateOffset, c.textLeft, row.mark, kRowSize, false, 1, c.textRight);
        canvas.PrintText_abs(y + kDateOffset, c.textLeft, monthSlashDay(row.deliveryDate), kDateSize, false,
                             1, c.textRight);
        return;
    }
    const QString text = cellText(row, c.cell);
    if (c.fit == Fit::AsIs)
        canvas.PrintText_abs(textY, c.textLeft, text, kRowSize, false, int(c.align), c.textRight, c.wrap);
    else
        canvas.PrintCellText(textY, c.textLeft, c.textRight, text, kRowSize, false, int(c.align), c.wrap,
                             c.fit == Fit::CondenseOrCut);
}

// The summary after the lines; n and p go on from where the lines left them (n -1: the page is empty).
void placeSummary(PrintCanvas& canvas, const SheetData& sheet, int pages, int& n, int& p) {
    const SheetMode mode = SheetModeOf(sheet.mode);
    int j = 0;
    for (const SummaryRow& row : sheet.summary) {
        ++j;
        ++n;
        if (j == 1) {
            // The caption and the header take two slots; the first row goes into the one after them.
            const int c = n + 1;
            canvas.PrintText_abs(slotTop(c) - kSummaryCaptionAbove, kLeft, QStringLiteral("집계표"), kRowSize,
                                 true);
            const double headerTop = slotTop(c) + kSummaryHeaderBelow;
            // A page that already carries the title block (the lines' page) does not get it twice.
            if (n == 0)
                PrintOrderHeader(canvas, RowKind::Summary, mode, headerTop, sheet.buyerName, sheet.bdate, p,
                                 pages, false);
            else
                printTableHeader(canvas, RowKind::Summary, headerTop);
            n = c + 1;
        } else if (n == 1) {
            PrintOrderHeader(canvas, RowKind::Summary, mode, kTableTop, sheet.buyerName, sheet.bdate, p,
                             pages, false);
        }
        SheetRow printed;
        printed.number = j;
        printed.product = row.pname;
        printed.quantity = row.qnt;
        printed.unit = row.unit;
        PrintOrderRow(canvas, RowKind::Summary, slotTop(n), printed);
        if (n >= kSlotsPerPage) {
            canvas.PrnEndDoc();
            n = 0;
            ++p;
        }
    }
}

void placeNotices(PrintCanvas& canvas, const SheetData& sheet, int pages, int& n, int& p) {
    if (n >= kNearlyFullSlots) {
        canvas.PrnEndDoc();
        ++p;
        PrintOrderHeader(canvas, RowKind::TitleOnly, SheetModeOf(sheet.mode), 0, sheet.buyerName, sheet.bdate,
                         p, pages, false);
    }
    const NoticeBox& box = kNoticeBox;
    canvas.PrintLine_abs(box.top, box.left, box.bottom, box.right, box.penWidth, Qt::black, true, false);
    canvas.PrintText_abs(box.captionY, box.textX, QStringLiteral("공지사항:"), box.captionSize, true);
    canvas.PrintParagraph(box.textX, box.textY, sheet.notices, -1, box.wrap, Qt::black, kRowSize, false);
}

}  // namespace

std::vector<double> sheet_geometry::ColumnRules(RowKind kind) {
    const std::span<const Column> columns = columnsOf(kind);
    std::vector<double> xs;
    for (const Column& c : columns) xs.push_back(c.left);
    if (!columns.empty()) xs.push_back(columns.back().right);
    return xs;
}

SheetMode SheetModeOf(int mode) {
    switch (mode) {
        case 1:
            return SheetMode::AllOfDate;
        case 2:
            return SheetMode::Late;
        case 3:
            return SheetMode::Stock;
        default:
            return SheetMode::Own;
    }
}

QString GetWeekdayName(const QString& date) {
    static const char16_t* const kNames[] = {u"월", u"화", u"수", u"목", u"금", u"토", u"일"};
    const QDate d = StoredDate(date);
    return d.isValid() ? QString::fromUtf16(kNames[d.dayOfWeek() - 1]) : QString();
}

void PrintOrderHeader(PrintCanvas& canvas, RowKind kind, SheetMode mode, double y0, const QString& buyerName,
                      const QString& purchaseDate, int page, int pages, bool noDeliveryLine) {
    printTitleBlock(canvas, mode, buyerName, purchaseDate, page, pages, noDeliveryLine);
    printTableHeader(canvas, kind, y0);
}

void PrintOrderRow(PrintCanvas& canvas, RowKind kind, double y, const SheetRow& row) {
    const std::span<const Column> columns = columnsOf(kind);
    if (columns.empty()) return;
    verticalRules(canvas, kind, y, y + kRowHeight);
    for (const Column& c : columns) printCell(canvas, c, y, row);
    horizontalRule(canvas, y + kRowHeight);
}

int EstimatedPages(const SheetData& sheet) {
    const int f = int(sheet.lines.size());
    // Room for a summary's caption and header after the lines, or the rest of a page they nearly fill.
    const int reserved = f % kSlotsPerPage < kNearlyFullSlots ? f + kSummaryLeadSlots
                                                              : (f / kSlotsPerPage + 1) * kSlotsPerPage;
    const int m = reserved + (sheet.withNotices ? kNoticeBox.pageSlots : 0) +
                  (sheet.withSummary ? int(sheet.summary.size()) : 0);
    return std::max(1, m / kSlotsPerPage + (m % kSlotsPerPage != 0 ? 1 : 0));
}

void LayOutSheet(PrintCanvas& canvas, const SheetData& sheet, int pages) {
    const SheetMode mode = SheetModeOf(sheet.mode);
    int n = 0;
    int i = 0;
    int p = 1;
    for (const SheetLine& line : sheet.lines) {
        if (n == 0)
            PrintOrderHeader(canvas, RowKind::OrderLine, mode, kTableTop, sheet.buyerName, sheet.bdate, p,
                             pages, sheet.ahead);
        ++n;
        ++i;
        SheetRow row;
        row.number = i;
        row.mark = markOf(line.branch);
        row.product = line.pname;
        row.quantity = line.qnt;
        row.unit = line.unit;
        row.customer = line.nickname;
        row.remark = line.bigo;
        row.car = carNumber(line.carname);
        if (sheet.ahead) row.deliveryDate = line.sdate;
        PrintOrderRow(canvas, RowKind::OrderLine, slotTop(n), row);
        if (n >= kSlotsPerPage) {
            canvas.PrnEndDoc();
            n = 0;
            ++p;
        }
    }
    // n -1 tells the blocks after the lines that the current page is empty.
    if (n == 0) {
        n = -1;
    } else if (n % kSlotsPerPage >= kNearlyFullSlots) {
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
