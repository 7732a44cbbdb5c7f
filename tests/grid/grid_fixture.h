#pragma once

#include "platform/spread_grid.h"
#include "support/scripted_dialogs.h"
#include "support/shell_recorder.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include <freexl.h>
#include <gtest/gtest.h>

// Every grid-service test gets its own data folder (FormIni/, ExpExcel/) and a shell that records what it
// was asked to open instead of opening it.
class GridTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        qputenv("PELORA_DATA_DIR", m_dir.path().toUtf8());
    }
    void TearDown() override { qunsetenv("PELORA_DATA_DIR"); }
    QString dataDir() const { return m_dir.path(); }
    static QStringList& opened() { return ShellRecorder::opened(); }

    // A grid named like the windows' grids: `cols` columns with header texts, `rows` rows of "r-c" texts.
    static void fill(SpreadGrid& g, int cols, int rows) {
        g.setObjectName(QStringLiteral("spList"));
        g.setMaxCols(cols);
        g.setMaxRows(rows);
        for (int c = 1; c <= cols; ++c) g.setText(c, 0, QStringLiteral("제목%1").arg(c));
        for (int r = 1; r <= rows; ++r)
            for (int c = 1; c <= cols; ++c) g.setText(c, r, QStringLiteral("%1-%2").arg(r).arg(c));
    }

private:
    QTemporaryDir m_dir;
    ShellRecorder m_shell;
};

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
