// The label window's commands on its rows: loading an order line, copying, checking and deleting.
#include "labels/fb_print_label.h"

#include "common/msgbox.h"
#include "common/text_helpers.h"
#include "db/mysql_func.h"
#include "grid/excel_export.h"
#include "labels/label_data.h"
#include "widgets/spread_grid.h"

#include <QComboBox>
#include <QLineEdit>

#include <cmath>

namespace {

constexpr int kAllFields = 1023;  // bits 0 to 9: every label field printed

QString valueOf(const Recordset& rs, const char* name) {
    return rs.ValueAt(0, rs.ColumnIndex(QString::fromLatin1(name))).toString();
}

// The field flags of a row's prnlistbyte, rounded to the nearest whole number (halves to even).
int flagsOf(const Recordset& rs) {
    return int(std::nearbyint(LeadingNumber(valueOf(rs, "prnlistbyte"))));
}

// A quantity as the labels write it: the shortest decimal form, without the last digits' float noise.
QString quantityText(double value) {
    return label_commands::NumberText(std::round(value * 1e9) / 1e9);
}

}  // namespace

void fBPrintLabel::AddNewData(std::int32_t& nRow) {
    using namespace label_commands;
    const LabelData& data = gLabelData;
    int flags = kAllFields;
    LabelTexts v;
    QString unit;
    double labelUnit = 0;

    RecordsetPtr buyer, product;
    if (data.LabelBuyerCode != 0 && m_buyerFlags && m_buyerFlags->first == data.LabelBuyerCode) {
        flags = m_buyerFlags->second;
    } else if (data.LabelBuyerCode != 0) {
        DBOpenRecordset(buyer, QStringLiteral("SELECT mname, prnlistbyte FROM t_buyer WHERE code = ") +
                                   QString::number(data.LabelBuyerCode));
        if (buyer && buyer->RecordCount() > 0) {
            flags = flagsOf(*buyer);
            m_buyerFlags.emplace(data.LabelBuyerCode, flags);
        }
    }
    if (data.ProductCode != 0) {
        DBOpenRecordset(product, QStringLiteral(" SELECT p.*, b.mname AS bname, b.prnlistbyte") +
                                     QStringLiteral(" FROM t_product AS p") +
                                     QStringLiteral(" INNER JOIN t_buyer AS b ON b.code = p.c_buyer1") +
                                     QStringLiteral(" WHERE p.code = ") + QString::number(data.ProductCode));
        if (product && product->RecordCount() > 0) {
            const Recordset& p = *product;
            v[ProductName] = valueOf(p, "mname");
            unit = valueOf(p, "unit");
            v[Origin] = valueOf(p, "origin");
            v[Storage] = valueOf(p, "keepway");
            v[Expiry] = valueOf(p, "current");
            v[Maker] = valueOf(p, "maker");
            labelUnit = LeadingNumber(valueOf(p, "labelunit"));
            v[Customer] = data.Customer;
            v[Quantity] = data.Quantity;
            v[ReceiveDate] = data.ReceiveDate;
            v[Vehicle] = data.Vehicle;
            if (data.LabelBuyerCode == 0) flags = flagsOf(p);
        }
    }

    const QString* own[kFieldCount] = {&data.Customer, &data.ProductName, &data.Quantity, &data.Origin,
                                       &data.Storage,  nullptr,           &data.Expiry,   &data.Vehicle,
                                       &data.Maker,    &data.Remarks};
    for (int i = 0; i < kFieldCount; ++i) {
        if (!v[size_t(i)].isEmpty()) continue;
        v[size_t(i)] = own[i] ? *own[i] : TodayLabelDate();
    }
    if (flags != kAllFields)
        for (int i = 0; i < kFieldCount; ++i)
            if ((flags & (1 << i)) == 0) v[size_t(i)].clear();

    AddBlankRow();
    if (nRow == -2) nRow = m_spList->maxRows();

    const double total = LeadingNumber(v[Quantity]);
    double remaining = total;
    // Columns 2, 3, 5 to 11: every field but the quantity.
    auto writeRow = [&](int row) {
        for (int i = 0; i < kFieldCount; ++i)
            if (i != Quantity) m_spList->setText(kFirstTextCol + i, row, v[size_t(i)]);
    };
    const QString ofTotal = QLatin1Char('/') + quantityText(total) + unit;
    // A label unit of zero or below never splits the line.
    while (true) {
        writeRow(nRow);
        if (!(labelUnit > 0 && labelUnit < remaining)) break;
        m_spList->setText(kFirstTextCol + Quantity, nRow, quantityText(labelUnit) + unit + ofTotal);
        remaining -= labelUnit;
        m_spList->setMaxRows(m_spList->maxRows() + 1);
        nRow = m_spList->maxRows();
    }
    m_spList->setText(
        kFirstTextCol + Quantity, nRow,
        remaining != total ? quantityText(remaining) + unit + ofTotal : quantityText(remaining) + unit);

    CloseRecordset(buyer);
    CloseRecordset(product);
    gLabelData.Reset();
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
