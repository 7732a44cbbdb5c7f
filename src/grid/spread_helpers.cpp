#include "grid/spread_helpers.h"

#include "common/trap.h"
#include "grid/find_in_spread.h"
#include "platform/dialogs.h"
#include "widgets/form_helpers.h"
#include "widgets/spread_grid.h"

#include <QLocale>

namespace {
constexpr const char* kModule = "MduSpread";
}

void CommonSpreadDesign(SpreadGrid* sp, bool readOnly, bool clearRows, bool sortOnHeaderClick,
                        bool singleRowSelect, bool oddEvenColors) {
    const char* proc = "CommonSpreadDesign";
    // The flat appearance, the cursor's look, automatic cell types, the colour style, the reference style
    // and the built-in action keys have no counterpart in this grid: what they stood for is its default.
    if (readOnly) {
        if (singleRowSelect)
            TrapStep(proc, kModule, [&] { sp->setOperationMode(SpreadGrid::OperationMode::SingleSelect); });
        TrapStep(proc, kModule, [&] { sp->setSelectBlockOptions(0); });
        TrapStep(proc, kModule, [&] { sp->setLock(-1, -1, true); });
    } else {
        TrapStep(proc, kModule, [&] { sp->setEditModePermanent(true); });
        TrapStep(proc, kModule, [&] { sp->setEditModeReplace(true); });
    }
    TrapStep(proc, kModule, [&] { sp->setNoBeep(true); });
    if (sortOnHeaderClick) TrapStep(proc, kModule, [&] { sp->setUserColAction(1); });
    TrapStep(proc, kModule, [&] {
        sp->setShadowColor(spread_colors::kHeaderBack);
        sp->setShadowText(spread_colors::kHeaderText);
    });
    TrapStep(proc, kModule, [&] {
        sp->setSelBackColor(spread_colors::kSelection);
        sp->setTextTip(1);
    });
    if (clearRows) TrapStep(proc, kModule, [&] { sp->setMaxRows(0); });
    if (oddEvenColors)
        TrapStep(proc, kModule, [&] {
            sp->setOddEvenRowColor(spread_colors::kOddRows, Qt::black, spread_colors::kEvenRows, Qt::black);
        });
    if (clearRows)
        TrapStep(proc, kModule, [&] {
            if (sp->rowHeadersShow()) sp->setText(0, 0, QStringLiteral("No"));
        });
}

void SpreadShortcutKey(SpreadGrid* sp, int keyCode, int shift) {
    if (shift != SpreadGrid::kCtrlMask) return;
    const int row = sp->activeRow();
    switch (keyCode) {
        case 'F':
            ShowFindInSpread(sp);
            break;
        case 'E':
            if (row != 0) sp->setRowHidden(row, true);
            break;
        case 'W':
            if (row > 1) sp->setRowHidden(row - 1, false);
            if (row < sp->maxRows()) sp->setRowHidden(row + 1, false);
            break;
        case 'H':
            ShowSpreadShortcuts(sp);
            break;
        default:
            break;
    }
}

void ShowSpreadShortcuts(SpreadGrid* sp) {
    const QString text =
        QStringList{QStringLiteral(" - Ctrl + H : 단축키 목록보기"), QStringLiteral(" - Ctrl + F : 찾기"),
                    QStringLiteral(" - Ctrl + E : 행숨김"),
                    QStringLiteral(" - Ctrl + W : 행숨김 취소(아래/위행)")}
            .join(QStringLiteral("\r\n\r\n"));
    dialogs().messageBox(
        {text, QStringLiteral("시트내 단축키 목록"), Dialogs::Icon::Information, Dialogs::Buttons::Ok, 1});
    SetFocusIf(sp);
}

QString GetSpreadText(SpreadGrid* sp, int col, int row) {
    if (col == -2) col = sp->activeCol();
    if (row == -2) row = sp->activeRow();
    QString value;
    return sp->getText(col, row, value) ? value : QString();
}

SpreadGrid::NumberFormat SpreadNumberFormat(int decPlaces, bool negRed) {
    SpreadGrid::NumberFormat format;
    format.decPlaces = decPlaces;
    format.showSep = true;
    format.max = 999999999999.0;
    format.min = -999999999999.0;
    format.negRed = negRed;
    return format;
}

void SetSpreadNumberCell(SpreadGrid* sp, int col, int row, int decPlaces, bool centerV, bool negRed,
                         bool centerH) {
    sp->setCellType(col, row, SpreadGrid::CellType::Number);
    sp->setTypeNumber(col, row, SpreadNumberFormat(decPlaces, negRed));
    if (centerV) sp->setTypeVAlign(col, row, SpreadGrid::VAlign::Center);
    if (centerH) sp->setTypeHAlign(col, row, SpreadGrid::HAlign::Center);
}

void DeleteSpreadRow(SpreadGrid* sp, int row, bool showNotice, bool shrink) {
    if (row == -2) row = sp->activeRow();
    sp->deleteRows(row, 1);
    if (shrink) sp->setMaxRows(sp->dataRowCnt());
    sp->refresh();
    if (showNotice) ShowFloatMsg(QStringLiteral("자료를 삭제하였습니다."), 500);
}

void LockSpreadCol(SpreadGrid* sp, int col, bool paint, bool lock) {
    sp->setLock(col, -1, lock);
    if (paint) sp->setBackColor(col, -1, lock ? spread_colors::kLockedColumn : QColor(Qt::white));
}

void SetSpreadColHidden(SpreadGrid* sp, int col, bool hidden) {
    sp->setColHidden(col, hidden);
}

bool IsNumericText(const QString& text) {
    bool ok = false;
    QLocale::c().toDouble(text.trimmed(), &ok);
    return ok;
}
