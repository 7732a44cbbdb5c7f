#pragma once

// The order sheet's tests: a buyer with directions of as many order lines as a case needs, on the test
// server, and ways to read the recorded pages.

#include "db/mysql_func.h"
#include "orderdata/sheet_data.h"
#include "print/print_document.h"
#include "print/sheet_layout.h"
#include "support/qt_printers.h"
#include "support/sheet_pages.h"
#include "support/test_db.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace sheet_test {

// The sheet of a direction as read from the server, recorded for no printer in particular.
inline PrintDocument recordedSheet(double directionCode, bool allOfDate, bool ahead) {
    return RecordSheet(ReadSheetData(directionCode, allOfDate, ahead), QString());
}

// Buyer 1 "라벤청과"; customer 한빛초 with car "1호차" (order user 301, order-user line 201, product 1 양파
// kg) and customer 똠방 without a car (order user 302, line 202, product 2 배추 포기).
inline void seedBase(int printTotal) {
    testdb::truncate(testdb::kOrderDataTables);
    testdb::execAll({
        QStringLiteral("INSERT INTO t_buyer (code, mname, printtotal) VALUES (1, '라벤청과', %1)")
            .arg(printTotal),
        QStringLiteral(
            "INSERT INTO t_product (code, mname, unit) VALUES (1, '양파', 'kg'), (2, '배추', '포기')"),
        QStringLiteral(
            "INSERT INTO t_client (code, mname) VALUES (501, '한빛초등학교'), (502, '똠방각하 분식')"),
        QStringLiteral(
            "INSERT INTO t_order (code, c_client, nickname) VALUES (401, 501, '한빛초'), (402, 502, '똠방')"),
        QStringLiteral("INSERT INTO t_orderuser (code, c_order) VALUES (301, 401), (302, 402)"),
        QStringLiteral("INSERT INTO t_car (code, mname) VALUES (1, '1호차')"),
        QStringLiteral("INSERT INTO t_allocate_user (code, c_orderuser, c_car) VALUES (1, 301, 1)"),
        QStringLiteral(
            "INSERT INTO t_orderuser_sub (code, c_orderuser, c_product) VALUES (201, 301, 1), (202, 302, 2)"),
    });
}

inline void addDirection(int code, int branch, const QString& sdate = QStringLiteral("2030-05-10"),
                         const QString& bdate = QStringLiteral("2030-05-10"), const QString& bigo = QString(),
                         const QString& state = QString()) {
    testdb::exec(QStringLiteral("INSERT INTO t_direction (code, sdate, ddate, bdate, branch, bigo, c_buyer, "
                                "state) VALUES (%1, '%2', '%2', '%3', %4, '%5', 1, '%6')")
                     .arg(code)
                     .arg(sdate, bdate)
                     .arg(branch)
                     .arg(bigo, state));
}

// `count` lines "품목001", "품목002", ... of customer 한빛초 (car 1), quantity 1 each.
inline void addLines(int direction, int count, int first = 1) {
    if (count <= 0) return;
    QStringList values;
    for (int i = first; i < first + count; ++i)
        values
            << QStringLiteral("('품목%1', 1, '', %2, 1, 201)").arg(i, 3, 10, QLatin1Char('0')).arg(direction);
    testdb::exec(QStringLiteral("INSERT INTO t_ordering (pname, qnt, bigo, c_direction, c_product, "
                                "c_orderuser_sub) VALUES ") +
                 values.join(QStringLiteral(", ")));
}

inline void addLine(int direction, const QString& pname, const QString& qnt, const QString& bigo = QString(),
                    int orderUserSub = 201) {
    testdb::exec(QStringLiteral("INSERT INTO t_ordering (pname, qnt, bigo, c_direction, c_product, "
                                "c_orderuser_sub) VALUES ('%1', %2, '%3', %4, 1, %5)")
                     .arg(pname, qnt, bigo)
                     .arg(direction)
                     .arg(orderUserSub));
}

class SheetTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(testdb::openSession()); }
    void TearDown() override { DBClose(); }
};

}  // namespace sheet_test
