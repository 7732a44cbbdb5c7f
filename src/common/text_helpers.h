#pragma once

#include <QString>
#include <QStringList>

// Texts cut to a width counted in bytes of code page 949 (one byte for ASCII, two for a Hangul syllable or
// any other double-byte character; a character outside the code page counts as one byte, "?"), number
// formats in the platform's pattern language, date texts "yyyy-mm-dd" and the branch names of directions.

// Decimal places that grids and printouts give to quantities: 1, set once at start-up.
int QtyDecimals();
void SetQtyDecimals(int decimals);

// Byte width of the text.
int LenByte(const QString& text);
// The longest prefix of whole characters of at most n bytes; when the cut fell inside a double-byte
// character, that character is dropped and (unless noPad) one space keeps the width at n bytes.
QString LeftByte(const QString& text, int n, bool noPad = false);
// The longest suffix of whole characters of at most n bytes. Never padded.
QString RightByte(const QString& text, int n);
// The part from byte `start` (1-based) of at most n bytes (n 0: all the rest). A start on the second byte
// of a double-byte character includes that character; an end that cuts one drops it. Never padded.
QString MidByte(const QString& text, int start, int n = 0);
// Cuts the text into lines of at most n bytes (n at least 2), unpadded; `lines` holds them from index 0.
// The number of lines, at least 1 (an empty text gives one empty line).
int SplitByte(const QString& text, int n, QStringList& lines);

// A number format pattern: "0" a digit always shown, "#" a digit shown when significant, "," grouping,
// "." the decimal point. decimals 2, thousands, no zero: "#,##0.00"; 0, thousands, no zero: "#,###".
QString GetDecFormat(int decimals, bool thousands, bool zero);
// Formats a number with such a pattern (a pattern of "#" digits shows zero as the empty text).
QString FormatByPattern(double number, const QString& pattern);
// The number as text: empty for 0 unless `zero`; a whole number with no decimals whatever `decimals`
// says, other numbers rounded to `decimals`; grouped by thousands when `thousands`.
// FormatAmount(1234.5, 1, true, true) is "1,234.5".
QString FormatAmount(double number, int decimals, bool thousands, bool zero);

// The given date (today when empty) plus `days`, as "yyyy-mm-dd". A text that is no date throws AppError
// 13 ("Type mismatch").
QString AddDaysText(int days, const QString& dateText = QString());

// The number a text begins with, the one reading of codes, quantities, counts and flags taken from a
// text: blanks (spaces, tabs) before it are skipped, then an optional sign, digits and one decimal point.
// Whatever follows ends it ("35kg" is 35, "1e3" is 1, "12.5.1" is 12.5); a text that does not begin
// that way ("", "abc", "- 4", full-width "１２") is 0.
double LeadingNumber(const QString& text);

// The name of a direction's branch code: 0 "선발", 1 "리드", 2 "추가", 3 "재고", else the empty text.
QString BranchName(int branch);
