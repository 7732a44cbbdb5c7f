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

// A text made to fit a width in millimetres: the share of its width it is drawn at, and the text itself,
// cut after the last character that fits at the narrowest share.
struct Fitted {
    QString text;
    double stretch = 1;
    double width = 0;  // as drawn, millimetres
};

// `width` measures a text in millimetres in the font it is drawn in.
template <typename Measure>
Fitted fitText(const QString& text, double room, bool mayCut, Measure width) {
    const QString line = oneLine(text);
    const double full = width(line);
    if (full <= room || full <= 0) return {line, 1, full};
    if (full * kMinCellStretch <= room || !mayCut) return {line, room / full, room};
    QString cut = line;
    while (!cut.isEmpty() && width(cut) * kMinCellStretch > room) cut.chop(1);
    while (cut.endsWith(QLatin1Char(' '))) cut.chop(1);
    return {cut, kMinCellStretch, width(cut) * kMinCellStretch};
}

// The surface texts are measured on: a 600-dpi device, like the printer's.
QImage measureSurface() {
    QImage image(1, 1, QImage::Format_RGB32);
    const int dotsPerMeter = qRound(kMeasureDpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

}  // namespace

void PrinterChoice::SelectPrinterByName(const QString& deviceName) {
    if (!m_installed) return;
    for (const QString& name : m_installed())
        if (name == deviceName) {
            m_current = name;
            return;
        }
}

PrinterChoice& ProgramPrinters() {
    static PrinterChoice printers;
    return printers;
}

PrintCanvas::PrintCanvas(PrinterChoice& printers)
    : m_printers(printers), m_measureDevice(measureSurface()), m_font{kCanvasFamily, 9, false} {}

const QFontMetricsF& PrintCanvas::fontMetrics() {
    if (!m_metrics) m_metrics.emplace(ToQFont(m_font), &m_measureDevice);
    return *m_metrics;
}

// The advance of one line of text in the current font, in device pixels.
double PrintCanvas::lineWidth(const QString& line) {
    auto it =
        std::find_if(m_widths.begin(), m_widths.end(), [&](const auto& w) { return w.first == m_font; });
    if (it == m_widths.end()) it = m_widths.insert(m_widths.end(), {m_font, {}});
    QHash<QString, double>& known = it->second;
    if (const auto found = known.constFind(line); found != known.cend()) return found.value();
    const double w = fontMetrics().horizontalAdvance(line);
    known.insert(line, w);
    return w;
}

void PrintCanvas::setSize(double size) {
    if (size > 0 && size != m_font.size) {
        m_font.size = size;
        m_metrics.reset();
    }
}

void PrintCanvas::setBold(bool bold) {
    if (bold != m_font.bold) {
        m_font.bold = bold;
        m_metrics.reset();
    }
}

// Prints a text at the current position without a line feed: the position moves to the end of the text.
// `stretch` below 1 draws it condensed to that share of its width.
void PrintCanvas::printAtCurrent(const QString& text, double stretch) {
    if (text.isEmpty()) return;
    PrintItem item;
    item.kind = PrintItem::Kind::Text;
    item.y1 = m_currentY;
    item.x1 = m_currentX;
    item.text = oneLine(text);
    item.font = m_font;
    item.colour = m_colour;
    item.stretch = stretch;
    m_currentX += PrnTextWidth(item.text) * stretch;
    m_page.items.push_back(std::move(item));
}

void PrintCanvas::printAt(double y, double x, const QString& text) {
    SetPrintPos(y, x);
    printAtCurrent(text);
}

// One fitted line with its alignment between x and right.
void PrintCanvas::printFitted(double y, double x, double right, const QString& text, int halign,
                              bool mayCut) {
    const Fitted fitted = fitText(text, std::max(0.1, right - x), mayCut,
                                  [this](const QString& t) { return double(PrnTextWidth(t)); });
    if (halign == 1) x = x + (right - x - fitted.width) / 2;
    if (halign == 2) x = right - fitted.width;
    SetPrintPos(y, x);
    printAtCurrent(fitted.text, fitted.stretch);
}

void PrintCanvas::PrnInit(const QString& printerName, int scaleMode) {
    TrapStep("PrnInit", "modVBPrint", [&] {
        if (!printerName.isEmpty()) SelectPrinterByName(printerName);
        m_document = PrintDocument{};
        m_document.printerName = CurrentPrinterName();
        m_page = PrintPage{};
    });
    TrapStep("PrnInit", "modVBPrint", [&] {
        // Millimetres are the recording's only unit; another scale mode has no meaning for it.
        if (scaleMode != kScaleMillimeters)
            throw AppError(380, QStringLiteral("PrnInit"), QStringLiteral("Invalid property value"));
    });
    TrapStep("PrnInit", "modVBPrint", [&] {
        m_font = PrintFont{kCanvasFamily, 9, false};
        m_metrics.reset();
        m_widths.clear();  // one document's texts at a time
        m_colour = Qt::black;
        m_currentX = 0;
        m_currentY = 0;
    });
    // Text backgrounds are always transparent in the recording: texts never paint over the lines.
}

void PrintCanvas::SetPrintPos(double y, double x) {
    if (y != 0) m_currentY = y;
    if (x != 0) m_currentX = x;
}

float PrintCanvas::PrnTextWidth(const QString& text) {
    if (text.isEmpty()) return 0;
    // Nearly every text of a sheet is one line: measured as it stands, without splitting and copying it.
    if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return float(pixelsToMm(lineWidth(text)));
    double widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, lineWidth(QString(line).remove(QLatin1Char('\r'))));
    return float(pixelsToMm(widest));
}

float PrintCanvas::PrnTextHeight(const QString& text) {
    if (text.isEmpty()) return 0;
    const qsizetype lines = text.count(QLatin1Char('\n')) + 1;
    return float(pixelsToMm(fontMetrics().height() * double(lines)));
}

void PrintCanvas::SetPrnFont(double size, int bold) {
    setSize(size);
    if (bold == 0) setBold(false);
    if (bold == 1) setBold(true);
}

void PrintCanvas::PrintText_abs(double y, double x, const QString& given, double size, bool bold, int halign,
                                double x2, int wrap, double spacing, int valign, double y2) {
    const QString text = oneLine(given);
    if (size != 0) setSize(size);
    setBold(bold);
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

void PrintCanvas::PrintCellText(double y, double x, double right, const QString& given, double size,
                                bool bold, int halign, int wrap, bool mayCut) {
    const QString text = oneLine(given);
    if (size != 0) setSize(size);
    setBold(bold);
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

void PrintCanvas::PrintLine_abs(double y1, double x1, double y2, double x2, double width,
                                const QColor& colour, bool box, bool fill) {
    PrintItem item;
    item.kind = !box ? PrintItem::Kind::Line : (fill ? PrintItem::Kind::FilledBox : PrintItem::Kind::Box);
    item.y1 = y1;
    item.x1 = x1;
    item.y2 = y2;
    item.x2 = x2;
    item.penWidth = width;
    item.colour = colour;
    m_page.items.push_back(std::move(item));
}

void PrintCanvas::PrintParagraph(double x, double y, const QString& text, int maxLines, int wrap,
                                 const QColor& colour, double size, bool bold) {
    if (text.isEmpty()) return;
    m_colour = colour;
    if (size > 0) setSize(size);
    setBold(bold);
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

void PrintCanvas::PrnEndDoc() {
    if (!m_page.items.empty()) m_document.pages.push_back(std::move(m_page));
    m_page = PrintPage{};
}

PrintDocument PrintCanvas::PrnTakeDocument() {
    PrnEndDoc();
    PrintDocument document = std::move(m_document);
    m_document = PrintDocument{};
    m_document.printerName = CurrentPrinterName();
    return document;
}
