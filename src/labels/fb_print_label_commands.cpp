// The label window's commands on its rows: loading an order line, copying, checking and deleting.
#include "labels/fb_print_label.h"

#include "common/msgbox.h"
#include "common/text_helpers.h"
#include "grid/excel_export.h"
#include "orderdata/label_data.h"
#include "orderdata/label_rows.h"
#include "widgets/spread_grid.h"

#include <QComboBox>
#include <QDate>
#include <QLineEdit>

#include <optional>
#include <type_traits>

static_assert(std::is_same_v<label_commands::LabelTexts, orderdata::LabelRowTexts>,
              "a label row is the ten texts of the label grid's columns 2 to 11");

void fBPrintLabel::AddNewData(const orderdata::LabelOrderLine& line, std::int32_t& nRow) {
    std::optional<int> buyerFlags;
    if (line.LabelBuyerCode != 0 && m_buyerFlags && m_buyerFlags->first == line.LabelBuyerCode) {
        buyerFlags = m_buyerFlags->second;
    } else if (line.LabelBuyerCode != 0) {
        buyerFlags = orderdata::ReadLabelBuyerFlags(line.LabelBuyerCode);
        if (buyerFlags) m_buyerFlags.emplace(line.LabelBuyerCode, *buyerFlags);
    }
    std::optional<orderdata::LabelProduct> product;
    if (line.ProductCode != 0) product = orderdata::ReadLabelProduct(line.ProductCode);

    const QList<orderdata::LabelRowTexts> rows =
        orderdata::MakeLabelRows(line, buyerFlags, product, QDate::currentDate());
    AddBlankRow();
    if (nRow == -2) nRow = m_spList->maxRows();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (i > 0) {
            m_spList->setMaxRows(m_spList->maxRows() + 1);
            nRow = m_spList->maxRows();
        }
        for (int f = 0; f < label_commands::kFieldCount; ++f)
            m_spList->setText(FieldCol(f), nRow, rows[i][size_t(f)]);
    }
}

void fBPrintLabel::CopyToCheckedRows() {
    const int col = m_hcField->currentIndex() + kFirstTextCol;
    if (col < kFirstTextCol) return;
    const QString text = m_htField->text();
    for (int row = 1; row <= m_spList->maxRows() - 1; ++row)
        if (IsChecked(row)) m_spList->setText(col, row, text);
}

void fBPrintLabel::CheckAllRows(bool checked) {
    const QString value = checked ? QStringLiteral("1") : QStringLiteral("0");
    for (int row = 1; row <= m_spList->maxRows() - 1; ++row) m_spList->setText(kCheckCol, row, value);
}

void fBPrintLabel::CopyCheckedRows() {
    if (m_spList->maxRows() < 1) return;
    RemoveEntryRow();
    const int n = m_spList->maxRows();
    for (int j = 1; j <= n; ++j) {
        if (!IsChecked(j)) continue;
        const int copy = m_spList->maxRows() + 1;
        m_spList->setMaxRows(copy);
        for (int col = kFirstTextCol; col <= m_spList->maxCols(); ++col)
            m_spList->setText(col, copy, m_spList->text(col, j));
    }
    AddBlankRow();
}

void fBPrintLabel::DeleteCheckedRows() {
    bool any = false;
    for (int row = 1; row <= m_spList->maxRows() && !any; ++row) any = IsChecked(row);
    if (!any) {
        if (m_spList->maxRows() < 2) {
            ShowInfoMsg(QStringLiteral("삭제할 내역이 없습니다."));
            return;
        }
        CheckActiveRow();
    }
    if (ShowQuestionMsg(QStringLiteral("선택된 모든내역을 삭제하시겠습니까?"), QString(), false) != kYes)
        return;
    RemoveEntryRow();
    for (int i = 1; i <= m_spList->maxRows();) {
        if (IsChecked(i))
            RecDelete(i);
        else
            ++i;
    }
    AddBlankRow();
}

void fBPrintLabel::DeletePrintedRows() {
    for (int i = 1; i < m_spList->maxRows();) {
        if (m_spList->foreColor(kFirstTextCol, i) == PrintedColor())
            RecDelete(i);
        else
            ++i;
    }
}

void fBPrintLabel::ExportGrid() {
    ExportToExcelFile(m_spList, QStringLiteral("Sheet1"), true, false, false, true, true);
}
