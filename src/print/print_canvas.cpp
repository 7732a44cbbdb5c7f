#include "print/print_canvas.h"

#include "common/text_helpers.h"
#include "common/trap.h"
#include "print/print_replay.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>

#include <algorithm>
#include <optional>
#include <utility>

namespace {

constexpr double kMeasureDpi = 600;  // the printer the layouts are measured for
constexpr double kMmPerInch = 25.4;
const QString kCanvasFamily = QStringLiteral("굴림체");

// The surface texts are measured on: a 600-dpi device, like the printer's.
QPaintDevice* measureDevice() {
    static QImage image = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        const int dotsPerMeter = qRound(kMeasureDpi / 0.0254);
        i.setDotsPerMeterX(dotsPerMeter);
        i.setDotsPerMeterY(dotsPerMeter);
        return i;
    }();
    return &image;
}

struct CanvasState {
    PrintDocument document;
    PrintPage page;  // the open print job
    PrintFont font{kCanvasFamily, 9, false};
    QColor colour = Qt::black;
    double currentX = 0;
    double currentY = 0;
    std::optional<QFontMetricsF> metrics;  // of `font`, made when first needed after a change
    // Widths already measured, per font: a sheet repeats its captions, units, names and numbers on every
    // page, and shaping them again took a fifth of the time a sheet needs to be recorded.
    std::vector<std::pair<PrintFont, QHash<QString, double>>> widths;

    const QFontMetricsF& fontMetrics() {
        if (!metrics) metrics.emplace(ToQFont(font), measureDevice());
        return *metrics;
    }
    // The advance of one line of text in the current font, in device pixels.
    double lineWidth(const QString& line) {
        auto it = std::find_if(widths.begin(), widths.end(), [&](const auto& w) { return w.first == font; });
        if (it == widths.end()) it = widths.insert(widths.end(), {font, {}});
        QHash<QString, double>& known = it->second;
        if (const auto found = known.constFind(line); found != known.cend()) return found.value();
        const double w = fontMetrics().horizontalAdvance(line);
        known.insert(line, w);
        return w;
    }
    void setSize(double size) {
        if (size > 0 && size != font.size) {
            font.size = size;
            metrics.reset();
        }
    }
    void setBold(bool bold) {
        if (bold != font.bold) {
            font.bold = bold;
            metrics.reset();
        }
    }
};

CanvasState& canvas() {
    static CanvasState state;
    return state;
}

QString& currentPrinter() {
    static QString name;
    return name;
}

std::function<QStringList()>& installedPrinters() {
    static std::function<QStringList()> source;
    return source;
}

double pixelsToMm(double pixels) {
    return pixels * kMmPerInch / kMeasureDpi;
}

// A text as one printed line: line breaks, tabs and other control characters become blanks, so that a
// remark typed with a line break neither draws a box glyph nor moves the rest of the text.
QString oneLine(const QString& text) {
    QString line = text;
    for (QChar& ch : line)
        if (ch.unicode() < 0x20 || ch.unicode() == 0x7f) ch = QLatin1Char(' ');
    return line;
}

// Prints a text at the current position without a line feed: the position moves to the end of the text.
// `stretch` below 1 draws it condensed to that share of its width.
void printAtCurrent(const QString& text, double stretch = 1) {
    CanvasState& c = canvas();
    if (text.isEmpty()) return;
    PrintItem item;
    item.kind = PrintItem::Kind::Text;
    item.y1 = c.currentY;
    item.x1 = c.currentX;
    item.text = oneLine(text);
    item.font = c.font;
    item.colour = c.colour;
    item.stretch = stretch;
    c.currentX += PrnTextWidth(item.text) * stretch;
    c.page.items.push_back(std::move(item));
}

void printAt(double y, double x, const QString& text) {
    SetPrintPos(y, x);
    printAtCurrent(text);
}

// A text made to fit a width in millimetres: the share of its width it is drawn at, and the text itself,
// cut after the last character that fits at the narrowest share.
struct Fitted {
    QString text;
    double stretch = 1;
    double width = 0;  // as drawn, millimetres
};

Fitted fitText(const QString& text, double room, bool mayCut) {
    const QString line = oneLine(text);
    const double width = PrnTextWidth(line);
    if (width <= room || width <= 0) return {line, 1, width};
    if (width * kMinCellStretch <= room || !mayCut) return {line, room / width, room};
    QString cut = line;
    while (!cut.isEmpty() && PrnTextWidth(cut) * kMinCellStretch > room) cut.chop(1);
    while (cut.endsWith(QLatin1Char(' '))) cut.chop(1);
    return {cut, kMinCellStretch, PrnTextWidth(cut) * kMinCellStretch};
}

// One fitted line with its alignment between x and right.
void printFitted(double y, double x, double right, const QString& text, int halign, bool mayCut) {
    const Fitted fitted = fitText(text, std::max(0.1, right - x), mayCut);
    if (halign == 1) x = x + (right - x - fitted.width) / 2;
    if (halign == 2) x = right - fitted.width;
    SetPrintPos(y, x);
    printAtCurrent(fitted.text, fitted.stretch);
}

}  // namespace

void SetInstalledPrintersSource(std::function<QStringList()> source) {
    installedPrinters() = std::move(source);
}

QString CurrentPrinterName() {
    return currentPrinter();
}

void SelectPrinterByName(const QString& deviceName) {
    if (!installedPrinters()) return;
    for (const QString& name : installedPrinters()())
        if (name == deviceName) {
            currentPrinter() = name;
            return;
        }
}

void PrnInit(const QString& printerName, int scaleMode) {
    CanvasState& c = canvas();
    TrapStep("PrnInit", "modVBPrint", [&] {
        if (!printerName.isEmpty()) SelectPrinterByName(printerName);
        c.document = PrintDocument{};
        c.document.printerName = CurrentPrinterName();
        c.page = PrintPage{};
    });
    TrapStep("PrnInit", "modVBPrint", [&] {
        // Millimetres are the recording's only unit; another scale mode has no meaning for it.
        if (scaleMode != kScaleMillimeters)
            throw AppError(380, QStringLiteral("PrnInit"), QStringLiteral("Invalid property value"));
    });
    TrapStep("PrnInit", "modVBPrint", [&] {
        c.font = PrintFont{kCanvasFamily, 9, false};
        c.metrics.reset();
        c.widths.clear();  // one document's texts at a time
        c.colour = Qt::black;
        c.currentX = 0;
        c.currentY = 0;
    });
    // Text backgrounds are always transparent in the recording: texts never paint over the lines.
}

void SetPrintPos(double y, double x) {
    CanvasState& c = canvas();
    if (y != 0) c.currentY = y;
    if (x != 0) c.currentX = x;
}

float PrnTextWidth(const QString& text) {
    if (text.isEmpty()) return 0;
    CanvasState& c = canvas();
    double widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, c.lineWidth(QString(line).remove(QLatin1Char('\r'))));
    return float(pixelsToMm(widest));
}

float PrnTextHeight(const QString& text) {
    if (text.isEmpty()) return 0;
    const qsizetype lines = text.count(QLatin1Char('\n')) + 1;
    return float(pixelsToMm(canvas().fontMetrics().height() * double(lines)));
}

void SetPrnFont(double size, int bold) {
    CanvasState& c = canvas();
    c.setSize(size);
    if (bold == 0) c.setBold(false);
    if (bold == 1) c.setBold(true);
}

void PrintText_abs(double y, double x, const QString& given, double size, bool bold, int halign, double x2,
                   int wrap, double spacing, int valign, double y2) {
    CanvasState& c = canvas();
    const QString text = oneLine(given);
    if (size != 0) c.setSize(size);
    c.setBold(bold);
    if (!(y == 0 && x == 0)) {
        if (halign == 1) x = x + (x2 - x - PrnTextWidth(text)) / 2;
        if (halign == 2) x = x2 - PrnTextWidth(text);
    }
    if (valign == 1) y = y + (y2 - y - PrnTextHeight(text)) / 2;
    if (valign == 2) y = y2 - PrnTextHeight(text);

    QStringList pieces;
    if (wrap != 0) SplitByte(text, std::max(wrap, 2), pieces);
    if (wrap != 0 && pieces.size() >= 2) {
        // Two lines around the one-line position; a third piece and beyond are dropped.
        const double h = PrnTextHeight(text);
        y = y - (2.3 * h - h) / 2;
        printAt(y, x, pieces[0]);
        y = y + 1.3 * h;
        printAt(y, x, pieces[1]);
        return;
    }
    if (wrap == 0 && spacing != 0) {
        for (const QChar ch : text) {
            printAt(y, x, QString(ch));
            x = x + spacing;
        }
        return;
    }
    printAt(y, x, text);
}

void PrintCellText(double y, double x, double right, const QString& given, double size, bool bold, int halign,
                   int wrap, bool mayCut) {
    CanvasState& c = canvas();
    const QString text = oneLine(given);
    if (size != 0) c.setSize(size);
    c.setBold(bold);
    if (text.isEmpty()) return;
    QStringList pieces;
    if (wrap != 0) SplitByte(text, std::max(wrap, 2), pieces);
    if (wrap != 0 && pieces.size() >= 2) {
        // Two lines around the one-line position, as PrintText_abs places them.
        const double h = PrnTextHeight(text);
        y = y - (2.3 * h - h) / 2;
        printFitted(y, x, right, pieces[0], halign, mayCut);
        printFitted(y + 1.3 * h, x, right, pieces[1], halign, mayCut);
        return;
    }
    printFitted(y, x, right, text, halign, mayCut);
}

void PrintLine_abs(double y1, double x1, double y2, double x2, double width, const QColor& colour, bool box,
                   bool fill) {
    PrintItem item;
    item.kind = !box ? PrintItem::Kind::Line : (fill ? PrintItem::Kind::FilledBox : PrintItem::Kind::Box);
    item.y1 = y1;
    item.x1 = x1;
    item.y2 = y2;
    item.x2 = x2;
    item.penWidth = width;
    item.colour = colour;
    canvas().page.items.push_back(std::move(item));
}

void PrintParagraph(double x, double y, const QString& text, int maxLines, int wrap, const QColor& colour,
                    double size, bool bold) {
    if (text.isEmpty()) return;
    CanvasState& c = canvas();
    c.colour = colour;
    if (size > 0) c.setSize(size);
    c.setBold(bold);
    const double lineHeight = 1.1 * PrnTextHeight(QStringLiteral("가"));
    int n = 0;
    for (const QString& paragraph : text.split(QStringLiteral("\r\n"))) {
        QString rest = paragraph;
        for (;;) {
            QString piece = rest;
            qsizetype consumed = rest.size();
            if (wrap != 0) {
                const QString taken = LeftByte(rest, wrap, true);
                piece = LeftByte(rest, wrap, false);
                while (piece.endsWith(QLatin1Char(' '))) piece.chop(1);
                // A piece of blanks only still has to move on, or the paragraph would never end.
                consumed = !piece.isEmpty() ? piece.size() : std::max<qsizetype>(taken.size(), 1);
            }
            if (!piece.isEmpty()) printAt(y + n * lineHeight, x, piece);
            ++n;
            if (n == maxLines) return;
            rest = rest.mid(consumed);
            if (rest.trimmed().isEmpty()) break;
        }
    }
}

void PrnEndDoc() {
    CanvasState& c = canvas();
    if (!c.page.items.empty()) c.document.pages.push_back(std::move(c.page));
    c.page = PrintPage{};
}

PrintDocument PrnTakeDocument() {
    PrnEndDoc();
    CanvasState& c = canvas();
    PrintDocument document = std::move(c.document);
    c.document = PrintDocument{};
    c.document.printerName = CurrentPrinterName();
    return document;
}
