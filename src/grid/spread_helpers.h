#pragma once

#include "widgets/spread_grid.h"

#include <QColor>
#include <QString>

// The common look and behaviour of every grid of the program, its shortcut keys and the small cell
// helpers that the windows call.

// Colours of the standard design.
namespace spread_colors {
inline const QColor kHeaderBack{204, 226, 244};
inline const QColor kHeaderText{0, 0, 0};
inline const QColor kSelection{254, 254, 186};
inline const QColor kOddRows{255, 255, 255};
inline const QColor kEvenRows{243, 249, 251};
inline const QColor kLockedColumn{225, 225, 225};
inline const QColor kSeparator{0, 255, 0};
}  // namespace spread_colors

// Applies the standard design. readOnly: every cell locked, no block selection (with singleRowSelect,
// whole rows are selected); otherwise cells stay editable in permanent replace-edit mode. clearRows empties
// the grid; sortOnHeaderClick sorts by a column when its header is clicked; oddEvenColors paints rows
// alternately.
void CommonSpreadDesign(SpreadGrid* sp, bool readOnly, bool clearRows, bool sortOnHeaderClick,
                        bool singleRowSelect, bool oddEvenColors);

// The grid's key-down handler: Ctrl+F find, Ctrl+E hide the active row, Ctrl+W show the rows around it,
// Ctrl+H the list of keys. Acts only when the shift state is exactly Ctrl. keyCode: the key's code
// (letters as their upper-case character code).
void SpreadShortcutKey(SpreadGrid* sp, int keyCode, int shift);
// The list of the shortcut keys in a message box; the grid gets the focus afterwards.
void ShowSpreadShortcuts(SpreadGrid* sp);

// The text of a cell: column -2 is the active column, row -2 the active row, rows -1000, -999, ... the
// column-header rows. An empty text when the cell is empty or does not exist.
QString GetSpreadText(SpreadGrid* sp, int col, int row);
// The format of SetSpreadNumberCell's cells: thousands separators, decPlaces decimals.
SpreadGrid::NumberFormat SpreadNumberFormat(int decPlaces, bool negRed);
// Makes the addressed cells (-1 for all columns or rows) number cells with thousands separators.
void SetSpreadNumberCell(SpreadGrid* sp, int col, int row, int decPlaces, bool centerV, bool negRed,
                         bool centerH);
// Deletes one row (-2: the active row); with shrink the row count becomes the count of rows with data.
void DeleteSpreadRow(SpreadGrid* sp, int row, bool showNotice, bool shrink);
// Locks or unlocks a whole column; with paint its background turns grey (locked) or white.
void LockSpreadCol(SpreadGrid* sp, int col, bool paint, bool lock);
void SetSpreadColHidden(SpreadGrid* sp, int col, bool hidden);

// Whether the whole text (blanks around it allowed) is a number.
bool IsNumericText(const QString& text);
