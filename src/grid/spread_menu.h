#pragma once

#include <QString>
#include <QStringList>

class QWidget;
class SpreadGrid;

// Shows a pop-up menu at the mouse pointer, owned by `window`. Each item is two decimal digits (the
// command number) followed by the caption; "-" is a separator line. The chosen command, 0 for none.
int ShowPopupMenu(QWidget* window, const QStringList& items);

// The grid's context menu: row height, font size, separator lines, row-number width, subtotal rows and the
// reset of the window's layout file (`suffix` follows the window name in the file name).
void SpreadPopupMenu(QWidget* window, SpreadGrid* sp, const QString& suffix = QString());
