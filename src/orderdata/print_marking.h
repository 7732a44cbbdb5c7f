#pragma once

#include <QString>

// The statements of the print command: the mark of a printed direction and the ahead direction.
namespace orderdata {

enum class MarkOutcome {
    Saved,           // the direction holds the mark
    NotSaved,        // no such direction, or the server refused the statement
    ConnectionLost,  // the server could not be reached (its box has been shown unless quiet)
};

// Marks a direction "출력" with the local time "yyyymmdd hhmmss", without a box of its own. Printed twice
// within one second, the direction already holds exactly this mark: the update matches it and changes
// nothing, and nothing was lost.
MarkOutcome MarkPrinted(double directionCode);

// The first unprinted branch-0 direction of the buyer delivered after the date; 0 for none.
double AheadDirectionCode(const QString& dateText, int buyerCode);

}  // namespace orderdata
