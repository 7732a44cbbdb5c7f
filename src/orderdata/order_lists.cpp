#include "orderdata/order_lists.h"

#include "common/text_helpers.h"
#include "db/mysql_func.h"
#include "orderdata/order_statements.h"

namespace orderdata {

namespace {

int columnOf(const Recordset& rs, const char* name) {
    return rs.ColumnIndex(QString::fromLatin1(name));
}

template <class Row, class Convert>
ListResult<Row> read(const QString& sql, Convert convert) {
    ListResult<Row> result;
    RecordsetPtr rs;
    const bool ran = DBOpenRecordset(rs, sql) >= 0 && rs;
    if (DBStatementCancelled()) {
        result.outcome = ListRead::Cancelled;
    } else if (ran) {
        result.outcome = ListRead::Read;
        try {
            result.rows = convert(*rs);
        } catch (...) {
            CloseRecordset(rs);
            throw;
        }
    }
    CloseRecordset(rs);
    return result;
}

}  // namespace

double DirectionRow::codeNumber() const {
    return LeadingNumber(code);
}

double DirectionRow::buyerCode() const {
    return LeadingNumber(buyerCodeText);
}

QString DirectionRow::kind() const {
    return BranchName(branch);
}

bool DirectionRow::printed() const {
    return state == kPrinted;
}

double OrderLineRow::quantityNumber() const {
    return LeadingNumber(quantity);
}

int OrderLineRow::productCodeNumber() const {
    return int(LeadingNumber(productCode));
}

std::vector<DirectionRow> DirectionRowsOf(const Recordset& rs) {
    const int sdate = columnOf(rs, "sdate"), ddate = columnOf(rs, "ddate"), dtime = columnOf(rs, "dtime");
    const int name = columnOf(rs, "local_name"), branch = columnOf(rs, "branch");
    const int buyer = columnOf(rs, "mname"), state = columnOf(rs, "state"), code = columnOf(rs, "code");
    const int bcode = columnOf(rs, "bcode");
    std::vector<DirectionRow> rows;
    rows.reserve(std::size_t(rs.RecordCount()));
    for (int r = 0; r < rs.RecordCount(); ++r) {
        DirectionRow row;
        row.sdate = rs.ValueAt(r, sdate).toString();
        row.ddate = rs.ValueAt(r, ddate).toString();
        row.dtime = rs.ValueAt(r, dtime).toString();
        row.staffName = rs.ValueAt(r, name).toString();
        row.branch = int(LeadingNumber(rs.ValueAt(r, branch).toString()));
        row.buyerName = rs.ValueAt(r, buyer).toString();
        row.state = rs.ValueAt(r, state).toString();
        row.code = rs.ValueAt(r, code).toString();
        row.buyerCodeText = rs.ValueAt(r, bcode).toString();
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<OrderLineRow> OrderLineRowsOf(const Recordset& rs) {
    const int cname = columnOf(rs, "cname"), pname = columnOf(rs, "pname"), qnt = columnOf(rs, "qnt");
    const int unit = columnOf(rs, "unit"), bigo = columnOf(rs, "bigo"), car = columnOf(rs, "carname");
    const int code = columnOf(rs, "code"), pcode = columnOf(rs, "pcode"), full = columnOf(rs, "cfullname");
    const int mnote = columnOf(rs, "mnote");
    std::vector<OrderLineRow> rows;
    rows.reserve(std::size_t(rs.RecordCount()));
    for (int r = 0; r < rs.RecordCount(); ++r)
        rows.push_back({rs.ValueAt(r, cname).toString(), rs.ValueAt(r, pname).toString(),
                        rs.ValueAt(r, qnt).toString(), rs.ValueAt(r, unit).toString(),
                        rs.ValueAt(r, bigo).toString(), rs.ValueAt(r, car).toString(),
                        rs.ValueAt(r, code).toString(), rs.ValueAt(r, pcode).toString(),
                        rs.ValueAt(r, full).toString(), rs.ValueAt(r, mnote).toString()});
    return rows;
}

std::vector<ProductTotalRow> ProductTotalRowsOf(const Recordset& rs) {
    const int pname = columnOf(rs, "pname"), qnt = columnOf(rs, "qnt"), unit = columnOf(rs, "unit");
    std::vector<ProductTotalRow> rows;
    rows.reserve(std::size_t(rs.RecordCount()));
    for (int r = 0; r < rs.RecordCount(); ++r)
        rows.push_back(
            {rs.ValueAt(r, pname).toString(), rs.ValueAt(r, qnt).toString(), rs.ValueAt(r, unit).toString()});
    return rows;
}

ListResult<DirectionRow> ReadDirectionList(const QString& dateColumn, int buyerCode, const QString& dateText,
                                           bool ahead) {
    return read<DirectionRow>(DirectionListSql(dateColumn, buyerCode, dateText, ahead), DirectionRowsOf);
}

ListResult<OrderLineRow> ReadOrderLines(double directionCode) {
    return read<OrderLineRow>(OrderLinesSql(directionCode), OrderLineRowsOf);
}

ListResult<ProductTotalRow> ReadProductTotals(const QString& dateText, double buyerCode) {
    return read<ProductTotalRow>(ProductTotalsSql(dateText, buyerCode), ProductTotalRowsOf);
}

}  // namespace orderdata
