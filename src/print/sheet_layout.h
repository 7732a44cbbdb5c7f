#pragma once

#include "print/print_document.h"

#include <QString>

#include <vector>

class PrintCanvas;

// What one order sheet prints (the order data layer reads it from the order database) and its placing on
// the canvas page by page.

struct SheetLine {
    QString sdate;  // the delivery date of the line's direction
    QString pname;
    QString qnt;
    QString unit;
    int branch = 0;  // of the line's own direction: its mark
    QString nickname;
    QString bigo;
    QString carname;
};

struct SummaryRow {
    QString pname;
    QString qnt;
    QString unit;
};

struct SheetData {
    int mode = 0;
    bool ahead = false;
    QString buyerName;
    QString bdate;
    std::vector<SheetLine> lines;
    bool withSummary = false;
    std::vector<SummaryRow> summary;
    bool withNotices = false;
    QString notices;
};

// The page count the sheet announces before its first page: the slots of the lines (two kept for a
// summary's caption and header, or the rest of a page that 16 or 17 lines nearly fill), 4 for the notice
// box, one per summary row; 18 slots a page, at least one page.
int EstimatedPages(const SheetData& sheet);
// Draws the sheet on the canvas (after its PrnInit), ending a print job after every page, with `pages` in
// the title blocks.
void LayOutSheet(PrintCanvas& canvas, const SheetData& sheet, int pages);
// Records the whole sheet for the printer, page by page, with the page count it really has in every title
// block, on a canvas of its own that binds the program's printers.
PrintDocument RecordSheet(const SheetData& sheet, const QString& printerName);
