#include "print/print_replay.h"

#include "platform/file_commit.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>

#include <vector>

namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kPenDpi = 600;  // pen widths are pixels of a 600-dpi printer
constexpr int kPdfDpi = 600;

// A font set up once per replay with its ascent on the device: texts are placed by their top, Qt draws at
// the baseline.
struct DeviceFont {
    PrintFont key;
    QFont font;
    QFontMetricsF metrics;
    QRawFont raw;  // the font as the device has it, for texts drawn as glyph runs
};

class FontCache {
public:
    explicit FontCache(QPaintDevice* device) : m_device(device) {}
    const DeviceFont& get(const PrintFont& key) {
        for (const DeviceFont& f : m_fonts)
            if (f.key == key) return f;
        const QFont font = ToQFont(key);
        const QFont onDevice(font, m_device);
        m_fonts.push_back({key, font, QFontMetricsF(font, m_device), QRawFont::fromFont(onDevice)});
        return m_fonts.back();
    }

private:
    QPaintDevice* m_device;
    std::vector<DeviceFont> m_fonts;
};

QPen penFor(const PrintItem& item, double pixelsPerPenUnit) {
    const double width = item.penWidth * pixelsPerPenUnit;
    // Thinner than a device pixel: a cosmetic one-pixel line, so a hairline stays visible on a screen.
    QPen pen(item.colour, width < 1 ? 0 : width);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

// A text with blanks is drawn without glyphs for its blanks, which are left as space: in a PDF, some
// fonts' blank glyphs come out of a copy or a text extraction as nothing (or as a control character), so
// "수 신 처" would read "수신처".

// The words one by one at their place in the whole text (kerning is off, so advances add up).
void drawWords(QPainter& painter, const DeviceFont& font, double x, double baseline, const QString& text) {
    const qsizetype n = text.size();
    const double blank = font.metrics.horizontalAdvance(QLatin1Char(' '));
    qsizetype i = 0;
    double at = x;
    while (i < n) {
        while (i < n && text[i] == QLatin1Char(' ')) {
            ++i;
            at += blank;
        }
        const qsizetype start = i;
        while (i < n && text[i] != QLatin1Char(' ')) ++i;
        if (i > start) {
            const QString word = text.mid(start, i - start);
            painter.drawText(QPointF(at, baseline), word);
            at += font.metrics.horizontalAdvance(word);
        }
    }
}

// Draws a text from its top-left. A text with blanks is one run of its other glyphs, placed as the whole
// text would place them; where the font lacks a character (another font would stand in), word by word.
void drawText(QPainter& painter, const DeviceFont& font, double x, double top, const QString& text) {
    const double baseline = top + font.metrics.ascent();
    if (!text.contains(QLatin1Char(' '))) {
        painter.drawText(QPointF(x, baseline), text);
        return;
    }
    const QList<quint32> glyphs = font.raw.glyphIndexesForString(text);
    if (glyphs.size() != text.size() || glyphs.contains(0u)) {
        drawWords(painter, font, x, baseline, text);
        return;
    }
    const QList<QPointF> advances = font.raw.advancesForGlyphIndexes(glyphs);
    QList<quint32> kept;
    QList<QPointF> positions;
    double at = 0;
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        if (text[i] != QLatin1Char(' ')) {
            kept.push_back(glyphs[i]);
            positions.push_back(QPointF(at, 0));
        }
        at += advances[i].x();
    }
    QGlyphRun run;
    run.setRawFont(font.raw);
    run.setGlyphIndexes(kept);
    run.setPositions(positions);
    painter.drawGlyphRun(QPointF(x, baseline), run);
}

}  // namespace

QFont ToQFont(const PrintFont& font) {
    QFont f(font.family);
    f.setPointSizeF(font.size);
    f.setBold(font.bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    return f;
}

void PaintPrintPage(QPainter& painter, const PrintPage& page) {
    QPaintDevice* device = painter.device();
    const double sx = device->logicalDpiX() / kMmPerInch;
    const double sy = device->logicalDpiY() / kMmPerInch;
    const double penScale = device->logicalDpiX() / kPenDpi;
    FontCache fonts(device);
    painter.setBrush(Qt::NoBrush);
    for (const PrintItem& item : page.items) {
        switch (item.kind) {
            case PrintItem::Kind::Text: {
                const DeviceFont& f = fonts.get(item.font);
                painter.setFont(f.font);
                painter.setPen(item.colour);
                if (item.stretch == 1) {
                    drawText(painter, f, item.x1 * sx, item.y1 * sy, item.text);
                } else {
                    // Condensed about its left edge: only the horizontal scale changes.
                    painter.save();
                    painter.translate(item.x1 * sx, 0);
                    painter.scale(item.stretch, 1);
                    drawText(painter, f, 0, item.y1 * sy, item.text);
                    painter.restore();
                }
                break;
            }
            case PrintItem::Kind::Line:
                painter.setPen(penFor(item, penScale));
                painter.drawLine(QPointF(item.x1 * sx, item.y1 * sy), QPointF(item.x2 * sx, item.y2 * sy));
                break;
            case PrintItem::Kind::Box:
            case PrintItem::Kind::FilledBox: {
                const QRectF rect =
                    QRectF(QPointF(item.x1 * sx, item.y1 * sy), QPointF(item.x2 * sx, item.y2 * sy))
                        .normalized();
                painter.setPen(penFor(item, penScale));
                if (item.kind == PrintItem::Kind::FilledBox) painter.setBrush(item.colour);
                painter.drawRect(rect);
                painter.setBrush(Qt::NoBrush);
                break;
            }
        }
    }
}

bool WritePrintPdf(const std::vector<PrintPage>& pages, QIODevice* device, QString* error) {
    QPdfWriter writer(device);
    writer.setResolution(kPdfDpi);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                     QPageLayout::Millimeter));
    writer.setCreator(QStringLiteral("PeloraOrder"));
    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error) *error = device->errorString();
        return false;
    }
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (i > 0) writer.newPage();
        PaintPrintPage(painter, pages[i]);
    }
    if (!painter.end()) {
        if (error) *error = device->errorString();
        return false;
    }
    return true;
}

bool WritePrintPdf(const std::vector<PrintPage>& pages, const QString& path, QString* error) {
    // The whole file is built in memory and saved in one go, so a refused or full disk leaves no half file.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!WritePrintPdf(pages, &buffer, error)) return false;
    QString why;
    if (file_commit::replaceFile(path, bytes, &why)) return true;
    if (error) *error = path + QStringLiteral(": ") + why;
    return false;
}
