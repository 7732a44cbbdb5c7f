#pragma once

#include <QDir>
#include <QString>
#include <QStringList>

#include <freexl.h>

#include <string>
#include <vector>

// A workbook read back with libfreexl.
struct XlsBook {
    bool opened = false;
    QString sheetName;
    unsigned int rows = 0;
    unsigned short cols = 0;
    std::vector<std::vector<FreeXL_CellValue>> cells;  // [row][col]

    explicit XlsBook(const QString& path) {
        const void* h = nullptr;
        if (freexl_open(path.toLocal8Bit().constData(), &h) != FREEXL_OK) return;
        const char* name = nullptr;
        unsigned int sheets = 0;
        freexl_get_info(h, FREEXL_BIFF_SHEET_COUNT, &sheets);
        if (sheets >= 1 && freexl_get_worksheet_name(h, 0, &name) == FREEXL_OK)
            sheetName = QString::fromUtf8(name);
        if (freexl_select_active_worksheet(h, 0) == FREEXL_OK &&
            freexl_worksheet_dimensions(h, &rows, &cols) == FREEXL_OK) {
            cells.assign(rows, std::vector<FreeXL_CellValue>(cols));
            for (unsigned r = 0; r < rows; ++r)
                for (unsigned short c = 0; c < cols; ++c) freexl_get_cell_value(h, r, c, &cells[r][c]);
            opened = true;
        }
        // Texts point into the handle: copy them before closing.
        textsOf();
        freexl_close(h);
    }
    // The text of a cell (numbers as numbers), "" for an empty cell.
    QString text(unsigned r, unsigned short c) const { return QString::fromStdString(m_text.at(r).at(c)); }
    int type(unsigned r, unsigned short c) const { return cells.at(r).at(c).type; }
    double number(unsigned r, unsigned short c) const {
        const auto& v = cells.at(r).at(c);
        return v.type == FREEXL_CELL_INT ? v.value.int_value : v.value.double_value;
    }

private:
    std::vector<std::vector<std::string>> m_text;
    void textsOf() {
        m_text.assign(rows, std::vector<std::string>(cols));
        for (unsigned r = 0; r < rows; ++r)
            for (unsigned short c = 0; c < cols; ++c) {
                const auto& v = cells[r][c];
                if ((v.type == FREEXL_CELL_TEXT || v.type == FREEXL_CELL_SST_TEXT) && v.value.text_value)
                    m_text[r][c] = v.value.text_value;
            }
    }
};

// The files of a folder, sorted.
inline QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}
