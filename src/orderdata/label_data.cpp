// The label window's two reads: the buyer's field flags and the product's label values.
#include "orderdata/label_data.h"

#include "common/text_helpers.h"
#include "db/mysql_func.h"
#include "db/recordset.h"

#include <cmath>

namespace orderdata {

namespace {

QString valueOf(const Recordset& rs, const char* name) {
    return rs.ValueAt(0, rs.ColumnIndex(QString::fromLatin1(name))).toString();
}

// The field flags of a row's prnlistbyte, rounded to the nearest whole number (halves to even).
int flagsOf(const Recordset& rs) {
    return int(std::nearbyint(LeadingNumber(valueOf(rs, "prnlistbyte"))));
}

}  // namespace

QString LabelBuyerSql(std::int32_t buyerCode) {
    return QStringLiteral("SELECT mname, prnlistbyte FROM t_buyer WHERE code = ") +
           QString::number(buyerCode);
}

QString LabelProductSql(std::int32_t productCode) {
    return QStringLiteral(" SELECT p.*, b.mname AS bname, b.prnlistbyte") +
           QStringLiteral(" FROM t_product AS p") +
           QStringLiteral(" INNER JOIN t_buyer AS b ON b.code = p.c_buyer1") +
           QStringLiteral(" WHERE p.code = ") + QString::number(productCode);
}

std::optional<int> ReadLabelBuyerFlags(std::int32_t buyerCode) {
    RecordsetPtr rs;
    DBOpenRecordset(rs, LabelBuyerSql(buyerCode));
    std::optional<int> flags;
    if (rs && rs->RecordCount() > 0) flags = flagsOf(*rs);
    CloseRecordset(rs);
    return flags;
}

std::optional<LabelProduct> ReadLabelProduct(std::int32_t productCode) {
    RecordsetPtr rs;
    DBOpenRecordset(rs, LabelProductSql(productCode));
    std::optional<LabelProduct> product;
    if (rs && rs->RecordCount() > 0) {
        const Recordset& p = *rs;
        product = LabelProduct{valueOf(p, "mname"),
                               valueOf(p, "unit"),
                               valueOf(p, "origin"),
                               valueOf(p, "keepway"),
                               valueOf(p, "current"),
                               valueOf(p, "maker"),
                               LeadingNumber(valueOf(p, "labelunit")),
                               flagsOf(p)};
    }
    CloseRecordset(rs);
    return product;
}

}  // namespace orderdata
