#pragma once

#include "print/print_document.h"

#include <QColor>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

// The printers a document can go to: the installed printers' device names, in the platform's order, from
// a source the program wires in at start (the page printer; without a source no printer is installed),
// and the current printer, where a document goes that names none. A printer once chosen stays current
// until another is chosen.
class PrinterChoice {
public:
    using Source = std::function<QStringList()>;

    explicit PrinterChoice(Source installed = {}) : m_installed(std::move(installed)) {}

    void SetInstalledPrintersSource(Source source) { m_installed = std::move(source); }
    // Makes the first installed printer whose device name equals `deviceName` exactly the current printer;
    // nothing changes when none matches.
    void SelectPrinterByName(const QString& deviceName);
    // The current printer's device name; empty for the system's default printer.
    QString CurrentPrinterName() const { return m_current; }

private:
    Source m_installed;
    QString m_current;
};

// The program's printers: the one choice that every order sheet of the session shares, so that a printer
// chosen for one sheet is still current for the next. The program wires its installed-printer source in
// at start.
PrinterChoice& ProgramPrinters();

// Scale mode of PrnInit: millimetres, the only unit the layouts use.
inline constexpr int kScaleMillimeters = 6;

// The narrowest PrintCellText condenses a text to before it is cut: 60 % of its width still reads well
// on paper.
inline constexpr double kMinCellStretch = 0.6;

// The millimetre canvas under every printed document: absolute positions in millimetres from the top-left
// corner of the paper, Y always before X. A document is drawn by one PrnInit, then the primitives; every
// PrnEndDoc ends a print job, so each page leaves the printer as a job of its own.
//
// The canvas records what it draws (PrintDocument) instead of drawing on a printer directly: the output
// (printer, PDF, preview) replays the recording. Texts are measured with the real font at the 600 dpi of
// the printer, so wrapping and centring come out as they do on paper.
//
// A canvas holds one document at a time with its font, colour and position; the printer it binds is the
// current one of the printer choice it was made with.
class PrintCanvas {
public:
    explicit PrintCanvas(PrinterChoice& printers = ProgramPrinters());
    PrintCanvas(const PrintCanvas&) = delete;
    PrintCanvas& operator=(const PrintCanvas&) = delete;

    // Binds the printer (SelectPrinterByName when the name is not empty; empty keeps the current printer) and
    // starts a new document: millimetres, 굴림체 9 pt, not bold, black, transparent text background. Each
    // step that fails shows the procedure error report ("PrnInit" of "modVBPrint") and the next step runs.
    void PrnInit(const QString& printerName, int scaleMode = kScaleMillimeters);
    // SelectPrinterByName and CurrentPrinterName of the canvas's printer choice.
    void SelectPrinterByName(const QString& deviceName) { m_printers.SelectPrinterByName(deviceName); }
    QString CurrentPrinterName() const { return m_printers.CurrentPrinterName(); }

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
    void PrintCellText(double y, double x, double right, const QString& text, double size = 0,
                       bool bold = false, int halign = 0, int wrap = 0, bool mayCut = true);
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

private:
    const QFontMetricsF& fontMetrics();
    double lineWidth(const QString& line);
    void setSize(double size);
    void setBold(bool bold);
    void printAtCurrent(const QString& text, double stretch = 1);
    void printAt(double y, double x, const QString& text);
    void printFitted(double y, double x, double right, const QString& text, int halign, bool mayCut);

    PrinterChoice& m_printers;
    QImage m_measureDevice;  // texts are measured on a 600-dpi surface, like the printer's
    PrintDocument m_document;
    PrintPage m_page;  // the open print job
    PrintFont m_font;
    QColor m_colour = Qt::black;
    double m_currentX = 0;
    double m_currentY = 0;
    std::optional<QFontMetricsF> m_metrics;  // of m_font, made when first needed after a change
    // Widths already measured, per font: a sheet repeats its captions, units, names and numbers on every
    // page, and shaping them again took a fifth of the time a sheet needs to be recorded.
    std::vector<std::pair<PrintFont, QHash<QString, double>>> m_widths;
};
