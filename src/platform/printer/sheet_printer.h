#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// Which printer the order sheets go to. A sheet is an A4 page (PDF or PostScript to the print service); a
// raw queue passes its jobs to the device unchanged and is there for the label printer's commands. A sheet
// never goes to a raw queue on its own: not by a guess when nothing is chosen, not as a stand-in for a
// chosen printer that is gone, and a raw queue chosen by hand is refused with the reason.
namespace sheet_printer {

// The mark of a raw queue in the printer lists.
inline const QString kRawMark = QStringLiteral("라벨 프린터 (raw)");

// Whether `name` can print a sheet: false for a raw queue.
bool isSheetPrinter(const QString& name);
// The installed printers that can print a sheet, in the platform's order.
QStringList sheetPrinterNames();
// Of `queues`, the raw ones (the label printer's queues), in their order.
QStringList rawQueues(const QStringList& queues);

// Where a sheet goes with the choice `chosen` (the stored printer name, empty when none).
struct Target {
    enum class Kind {
        Printer,  // `printer`
        Pdf,      // no printer that can print a sheet is installed: PDF files in the data folder
        Choose,   // several could, none is chosen or the default: the clerk chooses
        Raw,      // the chosen `printer` is a raw queue: refused
    };
    Kind kind = Kind::Pdf;
    QString printer;
    // `chosen` is not installed (any more) and `printer` stands in for it.
    bool replaced = false;
};
Target resolve(const QString& chosen);

// Why a sheet is not sent to the raw queue `printer`, in the clerk's words.
QString rawRefusal(const QString& printer);
// Where a sheet goes, as the printer button's tip says it.
QString describe(const QString& chosen);

// The printers in a pop-up menu at `owner`: the sheet printers to choose from, `current` ticked and the
// default marked, then the raw queues marked as label printers. A raw queue chosen there is explained and
// not taken (a box titled `title` says why). The chosen sheet printer, or the empty text.
QString chooseFromMenu(QWidget* owner, const QString& current, const QString& title);

// Before a sheet goes out with the stored choice `chosen`: the printer name to send it to. When nothing
// settles it, the clerk is asked once and the answer is handed to `store`; declining the question gives
// the empty text with `*declined` set (nothing is sent). A raw queue raises the printer error. `title` is
// the title of the question's box.
QString settle(const QString& chosen, QWidget* owner, const QString& title,
               const std::function<void(const QString&)>& store, bool* declined);

}  // namespace sheet_printer
