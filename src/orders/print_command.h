#pragma once

#include "print/print_document.h"

#include <QString>
#include <QStringList>

#include <exception>
#include <functional>
#include <optional>
#include <vector>

class frmMain;

// Records in t_direction that a direction was printed: state "출력", updatechk the local time
// "yyyymmdd hhmmss". True when the direction now holds that mark. A direction that does not exist, or a
// statement that fails, shows "수정된 내용이 없거나, 자료저장을 실패하였습니다." and gives false; marking
// again within the same second (nothing to change) is not a failure.
bool MarkDirectionPrinted(double code);

// The print command of the main window and its preview. Which sheets: in the date kinds "발주일" and
// "매입일" the selected direction's own; in "납품일" all the buyer's directions of the selected direction's
// purchase date, and, when an unprinted branch-0 direction lies after the query date, the ahead sheet.
// Every printed sheet marks its directions "출력"; a sheet that fails or is cancelled marks nothing and
// ends the command.
class OrderSheetCommand {
public:
    explicit OrderSheetCommand(frmMain& window) : m_window(window) {}

    // btnPrint: records, prints and marks sheet by sheet.
    void Print();
    // "미리보기": records the same sheets, marks nothing, and shows them; printing from the preview
    // prints those pages and marks as Print does.
    void Preview();

    // How a printed sheet marks its directions.
    enum class Marking {
        ActiveRow,    // the selected direction, and "출력" in its state cell
        AllListed,    // every direction of the list
        AheadListed,  // the unprinted directions of the ahead list (ticked, queried, unticked again)
    };
    struct Sheet {
        PrintDocument document;
        Marking marking = Marking::ActiveRow;
        double code = 0;  // the direction the sheet was printed for
        // The directions whose lines the pages hold, when the pages are shown before they are printed:
        // printing them marks none but these, whatever arrived meanwhile.
        std::optional<std::vector<double>> shown;
    };

private:
    // What one run of the command has done so far, for the box at its end.
    struct RunState {
        QString stamp;  // the PDF names' time of this run
        QStringList pdfFiles;
        QString unmarked;            // the directions a lost connection left unmarked, as told to the user
        QString stopNote;            // a sheet cancelled or failed part way: how many of its pages came out
        int sheetPages = 0;          // of the sheet going out
        int sheetPagesSent = 0;      // of them, the pages that came out
        int pagesSent = 0;           // of the whole run
        QString chosenPrinter;       // a chosen printer that was not installed, and
        QString standInPrinter;      // the printer that got its sheets
        std::exception_ptr failure;  // what ended the run, told in the same box as what came out
    };
    // A new run: everything of the last one forgotten, the stamp taken now.
    void StartRun();
    // Runs a path of the command (print, preview, print from the preview): at its end one box tells where the
    // sheets went and, when a failure of any kind (a printer, a statement, a full disk, anything else) ended
    // it, why, the same way on every path.
    void Guarded(const std::function<void()>& path);

    // The first steps of both: in "납품일" the list is brought back to the query date itself; false
    // (after telling the user) when no direction is selected.
    bool Prepare();
    bool DeliveryDateKind() const;
    Sheet RecordFirstSheet();
    // The unprinted branch-0 direction after the query date that the ahead sheet is printed for; 0 for none.
    double AheadDirection() const;
    // Prints the sheet; false when the user cancelled. Failures raise AppError.
    bool Output(const Sheet& sheet, int sheetNumber);
    // The directions a printed sheet marks (for the ahead sheet: its list ticked and queried).
    std::vector<double> DirectionsToMark(const Sheet& sheet);
    // Marks them; false when the connection was lost, which ends the command (the directions left
    // unmarked are told once, with the PDF note).
    bool Mark(const Sheet& sheet);
    void PrintSheets(std::vector<Sheet>& sheets);
    // After the command, once, in one box that fits the screen: how many pages came out, why the run
    // stopped, where the PDF files went (their count, the first and the last), the directions left unmarked,
    // which printer stood in for a chosen printer that is no longer installed, and the failure's numbers.
    void TellHowTheRunEnded();
    // After a failure: how many pages of the failing sheet had come out.
    void NotePagesBeforeFailure();

    frmMain& m_window;
    RunState m_run;
};
