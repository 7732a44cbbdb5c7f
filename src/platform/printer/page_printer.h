#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

class QPainter;
class QWidget;

// The page printer: a printer chosen by its exact device name, each page sent as a print job of its own.
// Where no printer is installed, every job becomes a PDF file in the data folder's Print/ instead.
// It knows nothing of what it prints: the caller paints each page on the painter it is handed (the
// painter's origin is the top-left of the printable area; its device tells the resolution).
namespace page_printer {

// The device names of the installed printers, in the platform's order.
QStringList installedPrinterNames();
// The folder the PDF files go to when no printer is installed: <data folder>/Print.
QString pdfFolder();

using PaintPage = std::function<void(QPainter& painter, int page)>;
// Called before each page with the pages sent so far and the total; false stops before that page.
using Progress = std::function<bool(int done, int total)>;

struct Job {
    QString printerName;   // the device name; empty or not installed: the default printer
    QString documentName;  // the print job's name in the printer queue
    int pageCount = 0;
    PaintPage paint;
    Progress progress;  // may be empty
    // The PDF file names of one print command: <stamp>_<sheet>_<page>.pdf, so that they sort in the order
    // they were printed (date and time of the command, sheet of the command, page of the sheet).
    QDateTime stamp;
    int sheet = 1;
};

struct Outcome {
    bool cancelled = false;
    QStringList pdfFiles;  // the files written, when no printer is installed
};

// Sends the pages, each as its own job. A printer that refuses a job or a PDF file that cannot be written
// raises AppError (482 for the printer, 75 for a file) naming the printer or the file and the reason;
// the pages before it stay sent.
Outcome printPages(const Job& job);

// The system's printer dialog, starting at `current`; the device name chosen, empty when cancelled.
QString choosePrinter(QWidget* parent, const QString& current);

}  // namespace page_printer
