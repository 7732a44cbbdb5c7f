#pragma once

#include "print/print_document.h"

#include <QColor>
#include <QString>
#include <QStringList>

#include <functional>

// The millimetre canvas under every printed document: absolute positions in millimetres from the top-left
// corner of the paper, Y always before X. A document is drawn by one PrnInit, then the primitives; every
// PrnEndDoc ends a print job, so each page leaves the printer as a job of its own.
//
// The canvas records what it draws (PrintDocument) instead of drawing on a printer directly: the output
// (printer, PDF, preview) replays the recording. Texts are measured with the real font at the 600 dpi of
// the printer, so wrapping and centring come out as they do on paper.
//
// Module state, shared by all documents (one document is drawn at a time): the document being recorded,
// the current font, colour and position, and the current printer.

// Scale mode of PrnInit: millimetres, the only unit the layouts use.
inline constexpr int kScaleMillimeters = 6;

// Binds the printer (SelectPrinterByName when the name is not empty; empty keeps the current printer) and
// starts a new document: millimetres, 굴림체 9 pt, not bold, black, transparent text background. Each step
// that fails shows the procedure error report ("PrnInit" of "modVBPrint") and the next step runs.
void PrnInit(const QString& printerName, int scaleMode = kScaleMillimeters);
// Makes the first installed printer whose device name equals `deviceName` exactly the current printer;
// nothing changes when none matches. The choice stays for the rest of the process.
void SelectPrinterByName(const QString& deviceName);
// The current printer's device name; empty for the system's default printer.
QString CurrentPrinterName();
// Where the installed printers' device names come from, in the platform's order (the program wires the
// page printer in; without a source no printer is installed).
void SetInstalledPrintersSource(std::function<QStringList()> source);

// Moves the current position to (y, x); a coordinate equal to 0 is left unchanged.
void SetPrintPos(double y, double x);
// Width and height of the text in the current font, millimetres; 0 for an empty text.
float PrnTextWidth(const QString& text);
float PrnTextHeight(const QString& text);
// Sets the font size (points); bold 0 clears bold, 1 sets it, any other value leaves it.
void SetPrnFont(double size, int bold);

// Every text is one line: a line break, a tab or any other control character in it (a text from the
// order database may hold them) is drawn as a blank.
//
// Prints one text. size 0 keeps the current size; boldness becomes `bold`. halign 1 centres between x and
// x2, 2 right-aligns to x2 (not when y and x are both 0: then the text goes to the current position);
// valign 1 centres between y and y2, 2 bottom-aligns to y2. wrap > 0 cuts the text into pieces of at most
// that many bytes (code page 949) and prints the first two as two lines around the one-line position;
// spacing > 0 (without wrap) places the characters `spacing` millimetres apart.
void PrintText_abs(double y, double x, const QString& text, double size = 0, bool bold = false,
                   int halign = 0, double x2 = 0, int wrap = 0, double spacing = 0, int valign = 0,
                   double y2 = 0);
// Prints one text inside a cell that ends at `right`: like PrintText_abs, but a text wider than the space
// left to `right` is condensed horizontally (down to kMinCellStretch of its width) and, where that is
// not enough, cut after the last character that fits, so that it never covers the next column or leaves
// the page. halign 1 centres and 2 right-aligns between x and `right`; wrap as in PrintText_abs, each of
// the two lines fitted on its own. A quantity must never lose a digit: with `mayCut` false the text is
// condensed as far as it takes and never cut.
void PrintCellText(double y, double x, double right, const QString& text, double size = 0, bool bold = false,
                   int halign = 0, int wrap = 0, bool mayCut = true);
// The narrowest a text is condensed to before it is cut: 60 % of its width still reads well on paper.
inline constexpr double kMinCellStretch = 0.6;

// A line from (x1, y1) to (x2, y2), or with `box` the outline of that rectangle (filled with `fill`).
// `width` is in pixels of a 600-dpi printer.
void PrintLine_abs(double y1, double x1, double y2, double x2, double width = 1,
                   const QColor& colour = Qt::black, bool box = false, bool fill = false);
// A text of CR LF separated paragraphs from (x, y) down, lines 1.1 times the height of "가" apart, each
// paragraph cut into lines of at most `wrap` bytes (0: not cut). Stops after `maxLines` lines (-1: no
// limit). size > 0 sets the font size; boldness becomes `bold`.
void PrintParagraph(double x, double y, const QString& text, int maxLines, int wrap, const QColor& colour,
                    double size, bool bold);

// Ends the print job: what was drawn since the last one becomes a page. A job with nothing drawn leaves
// no page.
void PrnEndDoc();
// The recorded document (the open job is ended first); the canvas starts empty again.
PrintDocument PrnTakeDocument();
