#include "orders/order_statements.h"

#include "db/mysql_func.h"

#include <QRegularExpression>

#include <cmath>

namespace orders {

QString DateColumnOf(const QString& dateKind) {
    if (dateKind == kKindOrder) return QStringLiteral("d.ddate");
    if (dateKind == kKindPurchase) return QStringLiteral("d.bdate");
    return QStringLiteral("d.sdate");
}

QString SqlNumber(double number) {
    if (std::fabs(number) < 9.0e15 && number == std::trunc(number))
        return QString::number(static_cast<long long>(number));
    return QString::number(number, 'f', 10).remove(QRegularExpression(QStringLiteral("\\.?0+$")));
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
    sql += QStringLiteral(" AND b.code = ") + QString::number(buyerCode);
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
    QString sql = QStringLiteral("SELECT os.pname, SUM(os.qnt) AS qnt, p.unit");
    sql += QStringLiteral(" FROM t_ordering AS os");
    sql += QStringLiteral(" INNER JOIN t_orderuser_sub AS ous ON ous.code = os.c_orderuser_sub");
    sql += QStringLiteral(" INNER JOIN t_direction AS d ON d.code = os.c_direction");
    sql += QStringLiteral(" INNER JOIN t_product AS p ON p.code = ous.c_product");
    sql += QStringLiteral(" WHERE 1=1");
    // Always the purchase date, whatever date kind the list was queried by.
    sql += QStringLiteral(" AND ") + QStringLiteral("d.bdate") + QStringLiteral(" = '") +
           SQLEscape(dateText) + QStringLiteral("'");
    sql += QStringLiteral(" AND d.c_buyer = ") + SqlNumber(buyerCode);
    sql += QStringLiteral(" GROUP BY os.pname, p.unit");
    sql += QStringLiteral(" ORDER BY os.pname");
    return sql;
}

}  // namespace orders
