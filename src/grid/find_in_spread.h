#pragma once

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SpreadGrid;

// The find window "찾기": finds the next cell of a grid whose text matches, along rows or down columns,
// wrapping around to the start. It stays open so that "다음 찾기" can be pressed again and again, and
// remembers the last text, direction and whole-cell setting for as long as the program runs.
class FrmFindInSpread : public QDialog {
    Q_OBJECT

public:
    explicit FrmFindInSpread(QWidget* parent = nullptr);

    // The grid to search and the searched columns (-1: from the first column; -1: up to the last).
    void SetFormInit(SpreadGrid* sp, int minCol, int maxCol);
    // "다음 찾기": moves the grid's active cell to the next match, or says that there is none.
    void FindNext();

    QLineEdit* txtFindWd = nullptr;
    QComboBox* cboFindDir = nullptr;
    QCheckBox* chkSameAll = nullptr;
    QPushButton* cmdFind = nullptr;
    QPushButton* cmdClose = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The first match in `row` after column `after` that lies in a visible column, or -1.
    int searchVisibleInRow(int row, int after, const QString& text, int flags) const;

    QPointer<SpreadGrid> m_grid;
    int m_firstCol = 0;  // searches start after this column
    int m_lastCol = -1;  // -1: the grid's last column
};

// The program's one find window (created on first use; remade if its owner took it down).
FrmFindInSpread* FindInSpreadWindow();
// Opens the find window modally on the grid, over all its columns (Ctrl+F).
void ShowFindInSpread(SpreadGrid* sp);
