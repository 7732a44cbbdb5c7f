#include "grid/find_in_spread.h"

#include "platform/dialogs.h"
#include "widgets/form_helpers.h"
#include "widgets/spread_grid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

// What the window remembers between openings, for the life of the program.
struct Remembered {
    QString text;
    int direction = 0;
    bool sameAll = false;
};
Remembered g_remembered;

}  // namespace

FrmFindInSpread::FrmFindInSpread(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmFindInSpread"));
    setWindowTitle(QStringLiteral("찾기"));

    auto* label0 = new QLabel(QStringLiteral("찾을 내용(&F):"), this);
    auto* label1 = new QLabel(QStringLiteral("검색 방향(&D):"), this);
    label0->setObjectName(QStringLiteral("Label1"));
    label0->setProperty("index", 0);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setProperty("index", 1);
    txtFindWd = new QLineEdit(this);
    txtFindWd->setObjectName(QStringLiteral("txtFindWd"));
    txtFindWd->installEventFilter(this);
    label0->setBuddy(txtFindWd);
    cboFindDir = new QComboBox(this);
    cboFindDir->setObjectName(QStringLiteral("cboFindDir"));
    cboFindDir->addItems({QStringLiteral("행(가로방향)"), QStringLiteral("열(세로방향)")});
    label1->setBuddy(cboFindDir);
    chkSameAll = new QCheckBox(QStringLiteral("완전일치(&A)"), this);
    chkSameAll->setObjectName(QStringLiteral("chkSameAll"));
    cmdFind = new QPushButton(QStringLiteral("다음 찾기(&N)"), this);
    cmdFind->setObjectName(QStringLiteral("cmdFind"));
    cmdFind->setDefault(true);
    cmdClose = new QPushButton(QStringLiteral("닫기(&C)"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(label0, 0, 0);
    grid->addWidget(txtFindWd, 0, 1);
    grid->addWidget(cmdFind, 0, 2);
    grid->addWidget(label1, 1, 0);
    grid->addWidget(cboFindDir, 1, 1);
    grid->addWidget(cmdClose, 1, 2);
    grid->addWidget(chkSameAll, 2, 1);

    connect(cmdFind, &QPushButton::clicked, this, &FrmFindInSpread::FindNext);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
}

void FrmFindInSpread::SetFormInit(SpreadGrid* sp, int minCol, int maxCol) {
    m_grid = sp;
    m_firstCol = minCol < 0 ? 0 : minCol;
    m_lastCol = maxCol;
}

void FrmFindInSpread::showEvent(QShowEvent* event) {
    txtFindWd->setText(g_remembered.text);
    cboFindDir->setCurrentIndex(g_remembered.direction);
    chkSameAll->setChecked(g_remembered.sameAll);
    QDialog::showEvent(event);
}

void FrmFindInSpread::hideEvent(QHideEvent* event) {
    g_remembered = {txtFindWd->text(), cboFindDir->currentIndex(), chkSameAll->isChecked()};
    m_grid = nullptr;
    QDialog::hideEvent(event);
}

bool FrmFindInSpread::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtFindWd && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, txtFindWd, [edit = txtFindWd] { edit->selectAll(); });
    return QDialog::eventFilter(watched, event);
}

int FrmFindInSpread::searchVisibleInRow(int row, int after, const QString& text, int flags) const {
    int col = m_grid->searchRow(row, after, m_lastCol, text, flags);
    while (col != -1 && m_grid->colHidden(col)) col = m_grid->searchRow(row, col, m_lastCol, text, flags);
    return col;
}

void FrmFindInSpread::FindNext() {
    if (!m_grid) return;
    SpreadGrid* sp = m_grid;
    const int r = sp->activeRow();
    const int c = sp->activeCol();
    const int maxRows = sp->maxRows();
    const int lastCol = m_lastCol < 0 ? sp->maxCols() : m_lastCol;
    const QString text = txtFindWd->text();
    const int flags = chkSameAll->isChecked() ? 0 : SpreadGrid::kSearchPartial;

    int hitCol = -1, hitRow = -1;
    if (cboFindDir->currentIndex() == 0) {
        // Along rows: the rest of the active row, the rows below, then from the top to the active row.
        // A match in a hidden column is passed over; hidden rows are searched like any other.
        auto tryRow = [&](int row, int after) {
            const int col = searchVisibleInRow(row, after, text, flags);
            if (col == -1) return false;
            hitCol = col;
            hitRow = row;
            return true;
        };
        bool found = tryRow(r, c);
        for (int row = r + 1; !found && row <= maxRows; ++row) found = tryRow(row, m_firstCol);
        for (int row = 1; !found && row <= r; ++row) found = tryRow(row, m_firstCol);
    } else {
        // Down columns: the rest of the active column, the visible columns to its right, then from the
        // first visible column to the active one.
        auto tryCol = [&](int col, int after) {
            const int row = sp->searchCol(col, after, maxRows, text, flags);
            if (row == -1) return false;
            hitCol = col;
            hitRow = row;
            return true;
        };
        bool found = tryCol(c, r);
        for (int col = c + 1; !found && col <= lastCol; ++col)
            if (!sp->colHidden(col)) found = tryCol(col, 0);
        for (int col = m_firstCol + 1; !found && col <= c; ++col)
            if (!sp->colHidden(col)) found = tryCol(col, 0);
    }

    if (hitRow == -1 || (hitCol == c && hitRow == r)) {
        dialogs().messageBox({QStringLiteral("일치하는 데이터가 없습니다."), QStringLiteral("검색실패"),
                              Dialogs::Icon::Information, Dialogs::Buttons::Ok, 1});
        return;
    }
    sp->setActiveCell(hitCol, hitRow);
    sp->setTopRow(hitRow);
}

FrmFindInSpread* FindInSpreadWindow() {
    static QPointer<FrmFindInSpread> window;
    if (!window) window = new FrmFindInSpread();
    return window;
}

void ShowFindInSpread(SpreadGrid* sp) {
    FrmFindInSpread* window = FindInSpreadWindow();
    window->SetFormInit(sp, -1, -1);
    ShowModalOwned(window, sp->window());
}
