#pragma once

#include "platform/app_error.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

class QPainter;

// The page printer: a printer chosen by its exact device name, each page sent as a print job of its own,
// always on A4 portrait whatever the printer's own default paper. Where no printer is installed, every job
// becomes a PDF file in the data folder's Print/ instead. It knows nothing of what it prints: the caller
// paints each page on the painter it is handed (the painter's origin is the top-left corner of the sheet of
// paper, as on the PDF files and the preview, so that every output puts each mark at the same place; its
// device tells the resolution).
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
    QString documentName;  // the print job's name in the printer queue; " (page/pages)" is added to it
    int pageCount = 0;
    PaintPage paint;
    Progress progress;  // may be empty
    // The PDF file names of one print command: <stamp>_<sheet>_<page>.pdf, so that they sort in the order
    // they were printed (date and time of the command, sheet of the command, page of the sheet).
    QDateTime stamp;
    int sheet = 1;
    // Called after each page has gone out, with its PDF file when it became one (empty on a printer): the
    // caller knows what came out even when a later page fails.
    std::function<void(int page, const QString& pdfFile)> pageSent;
};

struct Outcome {
    bool cancelled = false;
    int pagesSent = 0;
    QStringList pdfFiles;  // the files written, when no printer is installed
    QString printer;       // the printer the pages went to; empty when they became PDF files
    // The job named a printer that is not installed (any more): `printer` is the default printer instead.
    bool printerReplaced = false;
};

// The printer error number of AppError, for the failures of a printer or of the print service.
inline constexpr long kPrinterError = 482;

// A failure of a printer or of the print service (kPrinterError): beside the technical description it
// carries what happened and what to do, in the clerk's words, for the first line of the box.
class PrinterFailure : public AppError {
public:
    PrinterFailure(QString source, QString description, QString advice)
        : AppError(kPrinterError, std::move(source), std::move(description)), m_advice(std::move(advice)) {}
    const QString& advice() const { return m_advice; }

private:
    QString m_advice;
};
// The clerk's line of a printer failure; empty for any other failure.
QString adviceFor(const AppError& e);

// Sends the pages, each as its own job. A job counts as sent when the print service took it into the
// printer's queue (a paused printer takes jobs and prints them later). A printer that refuses jobs, a print
// service that does not answer, or a PDF file that cannot be written raises AppError (kPrinterError for
// the printer, 75 for a file) naming the printer or the file and the reason; the pages before it stay sent.
// A printer was chosen but no printer is listed because the print service does not answer: that is a
// printer failure too, not the PDF files, which would leave the user waiting at the printer.
Outcome printPages(const Job& job);

// The printer that a job naming `name` goes to: `name` when it is installed, otherwise the default printer
// when it can print a sheet, or the only printer that can; empty when no printer that can print a sheet is
// installed. With several to choose from and none chosen, or a raw queue chosen, printPages refuses the
// job (see sheet_printer).
QString printerFor(const QString& name);
// The installed default printer; empty when there is none.
QString defaultPrinterName();

}  // namespace page_printer
