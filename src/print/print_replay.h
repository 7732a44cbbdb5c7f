#pragma once

#include "print/print_document.h"

#include <QString>

class QIODevice;
class QPainter;

// Replays recorded pages. Millimetres become device pixels of whatever the painter paints on (its logical
// resolution), texts are drawn from their top-left, pen widths scale from the 600-dpi printer they were
// given for. The painter's origin is the top-left corner of the paper.

// Paints one page with the painter as it is (already begun on its device).
void PaintPrintPage(QPainter& painter, const PrintPage& page);

// Writes the pages into a PDF (A4, no margins, 600 dpi). False with the reason in `error` when the device
// or the file refuses it; a file is written whole or not at all.
bool WritePrintPdf(const std::vector<PrintPage>& pages, QIODevice* device, QString* error);
bool WritePrintPdf(const std::vector<PrintPage>& pages, const QString& path, QString* error);

// The Qt font of a recorded font: the family (with its substitutes, so 굴림체 becomes NanumGothicCoding
// where the Windows font is missing), the point size and boldness, unhinted so that widths scale with the
// resolution and a text measured for the printer keeps its width on every output.
class QFont;
QFont ToQFont(const PrintFont& font);
