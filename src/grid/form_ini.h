#pragma once

#include <QString>

class QWidget;
class SpreadGrid;

// Window and grid layout files: one INI file per window in the data folder's FormIni/, named after the
// window (its object name) and a suffix. It holds the window's position, size and state ("FormPosition"),
// and per grid (its object name) the column widths (name + "_ColsWidth") and the font size and row height
// chosen in the context menu (name + "_General"). Positions and sizes are twips.

// The layout file of a window: dataFolder/FormIni/<name><suffix>.ini.
QString FormIniPath(const QString& windowNameAndSuffix);

// Restores the window's position (and, unless keepSize, its size and maximised state) and every grid of
// the window from its file. Without a file nothing happens.
void LoadFormIni(QWidget* window, bool keepSize, const QString& suffix = QString());
// Restores one grid's column widths, font size and row height from the file.
void LoadSpreadIni(SpreadGrid* sp, const QString& path);
// Writes the window's state and, unless it is maximised, its position and size. Only for a visible window
// that is not minimised. False when the file could not be written.
bool SaveFormIni(QWidget* window, const QString& suffix = QString());
// Writes the current width of one column of a visible grid. False when the file could not be written.
bool SaveSpreadColWidth(QWidget* window, SpreadGrid* sp, int col, const QString& suffix = QString());
// Writes one value (as typed) under the grid's "_General" section; a failure is reported.
void SaveSpreadIni_Gn(QWidget* window, SpreadGrid* sp, const QString& key, const QString& value,
                      const QString& suffix = QString());
// A window's place and size as its layout file gave them when it opened: both the main window and the label
// window save their layout again when they close only if the user moved or resized them, so that an
// untouched window leaves its file as it was.
class FormGeometry {
public:
    // LoadFormIni (keeping nothing), then remembers the place and size it gave.
    void load(QWidget* window);
    bool changed(const QWidget* window) const;
    // SaveFormIni when the window was moved or resized since load.
    void saveIfChanged(QWidget* window) const;

private:
    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
};

// Deletes the layout file of the window name followed by its suffix; a failure is reported.
void DelFormIni(const QString& windowNameAndSuffix);
