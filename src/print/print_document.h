#pragma once

#include <QColor>
#include <QString>

#include <vector>

// A printed document as drawing commands in millimetres from the top-left corner of the paper, page by
// page. The canvas records it; every output (printer, PDF, preview, image) replays the same pages, and the
// tests read the recording itself.

// A font as the layouts name it: family ("굴림체"), size in points, boldness.
struct PrintFont {
    QString family;
    double size = 9;
    bool bold = false;
    bool operator==(const PrintFont&) const = default;
};

struct PrintItem {
    enum class Kind {
        Text,       // `text` with its top-left at (x1, y1)
        Line,       // from (x1, y1) to (x2, y2)
        Box,        // the outline of the rectangle with corners (x1, y1) and (x2, y2)
        FilledBox,  // the same rectangle filled
    };
    Kind kind = Kind::Text;
    double y1 = 0;
    double x1 = 0;
    double y2 = 0;
    double x2 = 0;
    QString text;
    PrintFont font;
    // A text condensed to fit its cell: its width is drawn at this share of the font's (1: as the font is).
    double stretch = 1;
    // Pen width in device pixels of a 600-dpi printer: 1 is a hairline, 12 a heavy frame.
    double penWidth = 1;
    QColor colour = Qt::black;
};

// One page, which leaves the printer as a print job of its own.
struct PrintPage {
    std::vector<PrintItem> items;
};

struct PrintDocument {
    // The device name of the printer the document was drawn for; empty for the current printer.
    QString printerName;
    // What the document is, as the printer's queue lists its jobs ("주문서 라벤청과 2030-05-12").
    QString title;
    std::vector<PrintPage> pages;
};

// The paper the layouts are drawn on: A4 portrait, millimetres.
inline constexpr double kPaperWidthMm = 210;
inline constexpr double kPaperHeightMm = 297;
