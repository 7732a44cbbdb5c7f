#include "print/buy_order.h"

#include "common/app_title.h"
#include "common/text_helpers.h"
#include "db/mysql_func.h"
#include "platform/app_error.h"
#include "platform/settings_store.h"
#include "print/print_canvas.h"
#include "print/sheet_layout.h"

#include <cmath>

namespace {

// A number as a statement writes it: whole numbers without a decimal point.
QString sqlNumber(double number) {
    if (std::fabs(number) < 9.0e15 && number == std::trunc(number))
        return QString::number(static_cast<long long>(number));
    return QString::number(number, 'g', 15);
}

QString quoted(const QString& text) {
    return QLatin1Char('\'') + SQLEscape(text) + QLatin1Char('\'');
}

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

QString directionSql(double directionCode) {
    return QStringLiteral(
               "SELECT b.mname AS bname, d.ddate, d.branch, d.bdate, b.code AS bcode, d.bigo, "
               "b.printtotal") +
           QStringLiteral(", d.sdate") + QStringLiteral(" FROM t_direction AS d") +
           QStringLiteral(" INNER JOIN t_buyer AS b ON b.code = d.c_buyer") +
           QStringLiteral(" WHERE d.code = ") + sqlNumber(directionCode);
}

QString linesSql(int mode, bool ahead, const QString& bdate, double buyerCode, double directionCode) {
    QString sql = QStringLiteral("SELECT d.sdate, os.pname, os.qnt, p.unit, d.branch");
    if (mode == 3)
        sql += QStringLiteral(", '' AS nickname, '' AS bigo, '' AS carname");
    else
        sql += QStringLiteral(", oo.nickname, os.bigo, ca.mname AS carname");
    sql += QStringLiteral(" FROM t_ordering AS os");
    sql += QStringLiteral(" INNER JOIN t_direction AS d ON d.code = os.c_direction");
    sql += QStringLiteral(" INNER JOIN t_product AS p ON p.code = os.c_product");
    if (mode != 3) {
        sql += QStringLiteral(" INNER JOIN t_orderuser_sub AS ss ON ss.code = os.c_orderuser_sub");
        sql += QStringLiteral(" INNER JOIN t_orderuser AS s ON s.code = ss.c_orderuser");
        sql += QStringLiteral(" INNER JOIN t_order AS oo ON oo.code = s.c_order");
        sql += QStringLiteral(" INNER JOIN t_client AS c ON c.code = oo.c_client");
        sql += QStringLiteral(" LEFT JOIN t_allocate_user AS a ON a.c_orderuser = s.code");
        sql += QStringLiteral(" LEFT JOIN t_car AS ca ON ca.code = a.c_car");
    }
    if (ahead) {
        sql += QStringLiteral(" WHERE d.bdate >= ") + quoted(bdate);
        sql += QStringLiteral(" AND d.c_buyer = ") + sqlNumber(buyerCode);
        sql += QStringLiteral(" AND d.state = ''");
        sql += QStringLiteral(" AND d.branch = ") + QStringLiteral("0");
    } else if (mode == 1) {
        sql += QStringLiteral(" WHERE d.bdate = ") + quoted(bdate);
        sql += QStringLiteral(" AND d.c_buyer = ") + sqlNumber(buyerCode);
    } else {
        sql += QStringLiteral(" WHERE os.c_direction = ") + sqlNumber(directionCode);
    }
    if (mode == 3)
        sql += QStringLiteral(" ORDER BY os.pname, os.code");
    else
        sql += QStringLiteral(" ORDER BY d.sdate, ca.mname, oo.nickname, os.pname, os.code");
    return sql;
}

QString summarySql(const QString& bdate, double buyerCode) {
    return QStringLiteral("SELECT os.pname, SUM(os.qnt) AS qnt, p.unit") +
           QStringLiteral(" FROM t_ordering AS os") +
           QStringLiteral(" INNER JOIN t_orderuser_sub AS ous ON ous.code = os.c_orderuser_sub") +
           QStringLiteral(" INNER JOIN t_direction AS d ON d.code = os.c_direction") +
           QStringLiteral(" INNER JOIN t_product AS p ON p.code = ous.c_product") +
           QStringLiteral(" WHERE d.bdate = ") + quoted(bdate) + QStringLiteral(" AND d.c_buyer = ") +
           sqlNumber(buyerCode) + QStringLiteral(" GROUP BY os.pname, p.unit") +
           QStringLiteral(" ORDER BY os.pname");
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
    const QString sql = QStringLiteral("SELECT d.bigo") + QStringLiteral(" FROM t_direction AS d") +
                        QStringLiteral(" WHERE d.c_buyer = ") + sqlNumber(buyerCode) +
                        QStringLiteral(" AND d.sdate = ") + quoted(deliveryDate) +
                        QStringLiteral(" AND d.bigo <> ''");
    RecordsetPtr rs = openOrRaise(sql, "GetDirectionNotices");
    QStringList notices;
    for (; !rs->Eof(); rs->MoveNext()) notices << rs->Fields(0).Value();
    CloseRecordset(rs);
    return notices.join(QStringLiteral("\r\n"));
}

PrintDocument PrintBuyOrder(double directionCode, bool allOfDate, bool ahead) {
    SheetData sheet;
    RecordsetPtr rs = openOrRaise(directionSql(directionCode), "PrintBuyOrder");
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
    sheet.lines = readLines(linesSql(sheet.mode, ahead, sheet.bdate, buyerCode, directionCode));
    sheet.withSummary = (sheet.mode == 1 || sheet.mode == 2) && !ahead && printTotal;
    if (sheet.withSummary) sheet.summary = readSummary(summarySql(sheet.bdate, buyerCode));
    // Only the sheet of a whole date carries the notices, so only it asks the server for them.
    if (sheet.mode == 1 && !ahead) sheet.notices = GetDirectionNotices(buyerCode, sdate);
    sheet.withNotices = !sheet.notices.isEmpty();

    const QString printerName = settings::get(AppTitle(), kPrinterSection, kPrinterKey, QString());
    int pages = EstimatedPages(sheet);
    PrnInit(printerName, kScaleMillimeters);
    LayOutSheet(sheet, pages);
    PrintDocument document = PrnTakeDocument();
    // The announced count is an estimate made before the first page; where the pages came out otherwise
    // (18 lines and nothing after them, a summary that needs one slot more), the sheet is drawn again
    // with the count it really has, so that no page says "1/2" on a sheet of one.
    if (!document.pages.empty() && int(document.pages.size()) != pages) {
        pages = int(document.pages.size());
        PrnInit(QString(), kScaleMillimeters);
        LayOutSheet(sheet, pages);
        document = PrnTakeDocument();
    }
    return document;
}
