#pragma once

#include "support/data_folder.h"
#include "support/scripted_dialogs.h"
#include "support/shell_recorder.h"
#include "support/xls_book.h"
#include "widgets/spread_grid.h"

#include <QStringList>

// Every grid-service test gets its own data folder (FormIni/, ExpExcel/) and a shell that records what it
// was asked to open instead of opening it.
class GridTest : public DataFolderTest {
protected:
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
    ShellRecorder m_shell;
};
