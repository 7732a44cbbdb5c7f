#include "orderdata/order_statements.h"

#include "db/mysql_func.h"
#include "db/sql_text.h"

namespace orderdata {

namespace {

// The product totals' columns and joins: the unit and the product come through the order-user line
// (ous.c_product), not through the order line's own product code.
QString productTotalsHead() {
    QString sql = QStringLiteral("SELECT os.pname, SUM(os.qnt) AS qnt, p.unit");
    sql += QStringLiteral(" FROM t_ordering AS os");
    sql += QStringLiteral(" INNER JOIN t_orderuser_sub AS ous ON ous.code = os.c_orderuser_sub");
    sql += QStringLiteral(" INNER JOIN t_direction AS d ON d.code = os.c_direction");
    sql += QStringLiteral(" INNER JOIN t_product AS p ON p.code = ous.c_product");
    return sql;
}

QString productTotalsTail() {
    return QStringLiteral(" GROUP BY os.pname, p.unit") + QStringLiteral(" ORDER BY os.pname");
}

}  // namespace

QString DateColumnOf(const QString& dateKind) {
    if (dateKind == kKindOrder) return QStringLiteral("d.ddate");
    if (dateKind == kKindPurchase) return QStringLiteral("d.bdate");
    return QStringLiteral("d.sdate");
}

QString DirectionListSql(const QString& dateColumn, int buyerCode, const QString& dateText, bool ahead) {
    QString sql = QStringLiteral("SELECT d.sdate, d.ddate, d.dtime, u.local_name, d.branch");
    sql += QStringLiteral(", b.mname, d.state, d.code, b.code AS bcode, COUNT(ous.code) AS cnt");
    sql += QStringLiteral(" FROM t_direction AS d");
    sql += QStringLiteral(" INNER JOIN local_user AS u ON u.code = d.c_user");
    sql += QStringLiteral(" INNER JOIN t_buyer AS b ON b.code  = d.c_buyer");
    sql += QStringLiteral(" LEFT JOIN t_ordering AS od ON od.c_direction = d.code");
    sql += QStringLiteral(" LEFT JOIN t_orderuser_sub AS ous ON ous.code = od.c_orderuser_sub");
    sql += QStringLiteral(" WHERE 1=1");
    sql += QStringLiteral(" AND b.code = ") + SqlNumber(buyerCode);
    if (ahead) {
        sql += QStringLiteral(" AND ") + dateColumn + QStringLiteral(" > '") + SQLEscape(dateText) +
               QStringLiteral("'");
        sql += QStringLiteral(" AND d.branch = ") + QStringLiteral("0");
    } else {
        sql += QStringLiteral(" AND ") + dateColumn + QStringLiteral(" = '") + SQLEscape(dateText) +
               QStringLiteral("'");
    }
    sql += QStringLiteral(" GROUP BY d.code");
    sql += QStringLiteral(" ORDER BY ") + dateColumn + QStringLiteral(", d.code");
    return sql;
}

QString DirectionListMarkSql(const QString& dateColumn, int buyerCode, const QString& dateText, bool ahead) {
    QString sql = QStringLiteral("SELECT COUNT(*) AS cnt, MAX(d.code) AS maxcode");
    sql += QStringLiteral(", BIT_XOR(CRC32(CONCAT_WS(',', d.code, d.state))) AS sig");
    sql += QStringLiteral(" FROM t_direction AS d");
    sql += QStringLiteral(" WHERE d.c_buyer = ") + SqlNumber(buyerCode);
    if (ahead) {
        sql += QStringLiteral(" AND ") + dateColumn + QStringLiteral(" > ") + SqlQuoted(dateText);
        sql += QStringLiteral(" AND d.branch = ") + QStringLiteral("0");
    } else {
        sql += QStringLiteral(" AND ") + dateColumn + QStringLiteral(" = ") + SqlQuoted(dateText);
    }
    return sql;
}

QString OrderLinesSql(double directionCode) {
    QString sql = QStringLiteral("SELECT o.pname, o.qnt, p.unit");
    sql += QStringLiteral(", o.bigo, o.code");
    sql += QStringLiteral(", o.c_product AS pcode, c.mname AS cfullname");
    sql += QStringLiteral(", p.mnote");
    sql += QStringLiteral(", oo.nickname AS cname, ca.mname AS carname");
    sql += QStringLiteral(" FROM t_ordering AS o");
    sql += QStringLiteral(" INNER JOIN t_direction AS d ON d.code = o.c_direction");
    sql += QStringLiteral(" INNER JOIN t_product AS p ON p.code = o.c_product");
    sql += QStringLiteral(" INNER JOIN t_orderuser_sub AS ous ON ous.code = o.c_orderuser_sub");
    sql += QStringLiteral(" INNER JOIN t_orderuser AS ou ON ou.code = ous.c_orderuser");
    sql += QStringLiteral(" INNER JOIN t_order AS oo ON oo.code = ou.c_order");
    sql += QStringLiteral(" INNER JOIN t_client AS c ON c.code = oo.c_client");
    sql += QStringLiteral(" LEFT JOIN t_allocate_user AS a ON a.c_orderuser = ou.code");
    sql += QStringLiteral(" LEFT JOIN t_car AS ca ON ca.code = a.c_car");
    sql += QStringLiteral(" WHERE 1=1");
    sql += QStringLiteral(" AND o.c_direction = ") + SqlNumber(directionCode);
    sql += QStringLiteral(" ORDER BY o.code");
    return sql;
}

QString ProductTotalsSql(const QString& dateText, double buyerCode) {
    QString sql = productTotalsHead();
    sql += QStringLiteral(" WHERE 1=1");
    // Always the purchase date, whatever date kind the list was queried by.
    sql += QStringLiteral(" AND ") + QStringLiteral("d.bdate") + QStringLiteral(" = '") +
           SQLEscape(dateText) + QStringLiteral("'");
    sql += QStringLiteral(" AND d.c_buyer = ") + SqlNumber(buyerCode);
    return sql + productTotalsTail();
}

QString MarkPrintedSql(double directionCode, const QString& now) {
    return QStringLiteral("UPDATE ") + QStringLiteral("t_direction") + QStringLiteral(" SET ") +
           QStringLiteral("  state = '") + kPrinted + QStringLiteral("'") +
           QStringLiteral(", updatechk = '") + SQLEscape(now) + QStringLiteral("'") +
           QStringLiteral(" WHERE code = ") + SqlNumber(directionCode);
}

QString AheadDirectionSql(const QString& dateText, int buyerCode) {
    return QStringLiteral("SELECT d.code") + QStringLiteral(" FROM t_direction AS d") +
           QStringLiteral(" INNER JOIN t_buyer AS b ON b.code = d.c_buyer") +
           QStringLiteral(" WHERE d.sdate > '") + SQLEscape(dateText) + QStringLiteral("'") +
           QStringLiteral(" AND d.c_buyer = ") + SqlNumber(buyerCode) + QStringLiteral(" AND d.branch = ") +
           QStringLiteral("0") + QStringLiteral(" AND d.state = ''") +
           QStringLiteral(" ORDER BY d.sdate, d.code") + QStringLiteral(" LIMIT 0, 1");
}

QString SheetDirectionSql(double directionCode) {
    return QStringLiteral(
               "SELECT b.mname AS bname, d.ddate, d.branch, d.bdate, b.code AS bcode, d.bigo, "
               "b.printtotal") +
           QStringLiteral(", d.sdate") + QStringLiteral(" FROM t_direction AS d") +
           QStringLiteral(" INNER JOIN t_buyer AS b ON b.code = d.c_buyer") +
           QStringLiteral(" WHERE d.code = ") + SqlNumber(directionCode);
}

QString SheetLinesSql(int mode, bool ahead, const QString& bdate, double buyerCode, double directionCode) {
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
        sql += QStringLiteral(" WHERE d.bdate >= ") + SqlQuoted(bdate);
        sql += QStringLiteral(" AND d.c_buyer = ") + SqlNumber(buyerCode);
        sql += QStringLiteral(" AND d.state = ''");
        sql += QStringLiteral(" AND d.branch = ") + QStringLiteral("0");
    } else if (mode == 1) {
        sql += QStringLiteral(" WHERE d.bdate = ") + SqlQuoted(bdate);
        sql += QStringLiteral(" AND d.c_buyer = ") + SqlNumber(buyerCode);
    } else {
        sql += QStringLiteral(" WHERE os.c_direction = ") + SqlNumber(directionCode);
    }
    if (mode == 3)
        sql += QStringLiteral(" ORDER BY os.pname, os.code");
    else
        sql += QStringLiteral(" ORDER BY d.sdate, ca.mname, oo.nickname, os.pname, os.code");
    return sql;
}

QString SheetSummarySql(const QString& bdate, double buyerCode) {
    return productTotalsHead() + QStringLiteral(" WHERE d.bdate = ") + SqlQuoted(bdate) +
           QStringLiteral(" AND d.c_buyer = ") + SqlNumber(buyerCode) + productTotalsTail();
}

QString DirectionNoticesSql(double buyerCode, const QString& deliveryDate) {
    return QStringLiteral("SELECT d.bigo") + QStringLiteral(" FROM t_direction AS d") +
           QStringLiteral(" WHERE d.c_buyer = ") + SqlNumber(buyerCode) + QStringLiteral(" AND d.sdate = ") +
           SqlQuoted(deliveryDate) + QStringLiteral(" AND d.bigo <> ''");
}

}  // namespace orderdata
