#include "orderdata/sheet_data.h"

#include "common/text_helpers.h"
#include "db/mysql_func.h"
#include "orderdata/order_statements.h"
#include "platform/app_error.h"

namespace {

// Runs a statement of the sheet; a statement the server refuses stops the sheet with the server's reason.
RecordsetPtr openOrRaise(const QString& sql, const char* procedure) {
    RecordsetPtr rs;
    if (!DBConn())
        throw AppError(91, QString::fromLatin1(procedure), QStringLiteral("No database connection"));
    if (DBOpenRecordset(rs, sql) < 0 || !rs)
        throw AppError(DBConn()->err_no(), QString::fromLatin1(procedure), DBConn()->err_description());
    return rs;
}

QString value(const Recordset& rs, const char* column) {
    return rs.Fields(QString::fromLatin1(column)).Value();
}

std::vector<SheetLine> readLines(const QString& sql) {
    RecordsetPtr rs = openOrRaise(sql, "PrintBuyOrder");
    std::vector<SheetLine> lines;
    lines.reserve(std::size_t(rs->RecordCount()));
    for (; !rs->Eof(); rs->MoveNext())
        lines.push_back({value(*rs, "sdate"), value(*rs, "pname"), value(*rs, "qnt"), value(*rs, "unit"),
                         int(LeadingNumber(value(*rs, "branch"))), value(*rs, "nickname"), value(*rs, "bigo"),
                         value(*rs, "carname")});
    CloseRecordset(rs);
    return lines;
}

std::vector<SummaryRow> readSummary(const QString& sql) {
    RecordsetPtr rs = openOrRaise(sql, "PrintBuyOrder");
    std::vector<SummaryRow> rows;
    rows.reserve(std::size_t(rs->RecordCount()));
    for (; !rs->Eof(); rs->MoveNext())
        rows.push_back({value(*rs, "pname"), value(*rs, "qnt"), value(*rs, "unit")});
    CloseRecordset(rs);
    return rows;
}

}  // namespace

QString GetDirectionNotices(double buyerCode, const QString& deliveryDate) {
    RecordsetPtr rs =
        openOrRaise(orderdata::DirectionNoticesSql(buyerCode, deliveryDate), "GetDirectionNotices");
    QStringList notices;
    for (; !rs->Eof(); rs->MoveNext()) notices << rs->Fields(0).Value();
    CloseRecordset(rs);
    return notices.join(QStringLiteral("\r\n"));
}

SheetData ReadSheetData(double directionCode, bool allOfDate, bool ahead) {
    SheetData sheet;
    RecordsetPtr rs = openOrRaise(orderdata::SheetDirectionSql(directionCode), "PrintBuyOrder");
    // A direction that does not exist raises here (no current record).
    sheet.buyerName = value(*rs, "bname");
    sheet.bdate = value(*rs, "bdate");
    const int branch = int(LeadingNumber(value(*rs, "branch")));
    const double buyerCode = LeadingNumber(value(*rs, "bcode"));
    const QString sdate = value(*rs, "sdate");
    const bool printTotal = LeadingNumber(value(*rs, "printtotal")) == 1;
    CloseRecordset(rs);

    // A branch outside the four known kinds prints like a branch-0 direction: its own lines in full.
    sheet.mode = allOfDate ? 1 : (branch >= 0 && branch <= 3 ? branch : 0);
    sheet.ahead = ahead;
    sheet.lines =
        readLines(orderdata::SheetLinesSql(sheet.mode, ahead, sheet.bdate, buyerCode, directionCode));
    sheet.withSummary = (sheet.mode == 1 || sheet.mode == 2) && !ahead && printTotal;
    if (sheet.withSummary) sheet.summary = readSummary(orderdata::SheetSummarySql(sheet.bdate, buyerCode));
    // Only the sheet of a whole date carries the notices, so only it asks the server for them.
    if (sheet.mode == 1 && !ahead) sheet.notices = GetDirectionNotices(buyerCode, sdate);
    sheet.withNotices = !sheet.notices.isEmpty();
    return sheet;
}
