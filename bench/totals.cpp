// The product-totals statement of the query command on the server alone, through the raw C API: buyer 1's
// day of 1,000 directions (20 lines each) among 20,000 directions of other days and buyers. Measured with
// the indexes that db/schema.sql declares, against the same tables without the two of them that the
// statement's plan uses (an order database that has only its primary keys); a ratio below 1 is what those
// indexes save (src/db/INDEXES.md). A wider covering index on the order lines is timed beside them.
#include "orderdata/order_statements.h"
#include "support/bench_support.h"

#include <QCoreApplication>

#include <mysql.h>

#include <string>

namespace {

const QString kDate = QStringLiteral("2030-05-10");

void run(MYSQL* m, const std::string& sql) {
    bench::rawRun(m, sql);
}

std::string count(int n) {
    return std::to_string(n);
}

void createData() {
    const int directions = bench::size();
    const int others = directions * 20;
    const int lines = (directions + others) * 20;
    MYSQL* m = bench::rawConnection();
    run(m,
        "INSERT INTO t_direction (code, sdate, ddate, dtime, bdate, branch, c_user, c_buyer, state) "
        "SELECT seq, '2030-05-10', '2030-05-09', '01:00', '2030-05-10', seq % 4, 1, 1, '' FROM seq_1_to_" +
            count(directions));
    // Other days of buyer 1 and the same day of buyers 2 and 3.
    run(m,
        "INSERT INTO t_direction (code, sdate, ddate, dtime, bdate, branch, c_user, c_buyer, state) "
        "SELECT " +
            count(directions) +
            " + seq, '2030-05-11', '2030-05-09', '01:00', "
            "DATE_ADD('2030-05-10', INTERVAL seq % 60 DAY), seq % 4, 1, 1 + seq % 3, '' FROM seq_1_to_" +
            count(others));
    run(m,
        "INSERT INTO t_product (code, mname, unit, mnote, c_buyer1) "
        "SELECT seq, CONCAT(UNHEX('BEE7C6C4'), ' ', seq), IF(seq % 2, 'kg', UNHEX('B9DABDBA')), '', 1 "
        "FROM seq_1_to_50");  // 양파 n, kg or 박스
    run(m,
        "INSERT INTO t_orderuser_sub (code, c_orderuser, c_product) SELECT seq, seq % 200 + 1, seq % 50 + 1 "
        "FROM seq_1_to_" +
            count(lines));
    run(m,
        "INSERT INTO t_ordering (code, pname, qnt, bigo, c_direction, c_product, c_orderuser_sub) "
        "SELECT seq, CONCAT(UNHEX('BEE7C6C4'), ' ', seq % 50 + 1), seq % 30 + 0.5, '', (seq - 1) DIV 20 + 1, "
        "seq % 50 + 1, seq FROM seq_1_to_" +
            count(lines));
    run(m, "ANALYZE TABLE t_direction, t_ordering, t_orderuser_sub, t_product");
    mysql_free_result(mysql_store_result(m));
    mysql_close(m);
}

void runTotals(benchmark::State& state) {
    MYSQL* m = bench::rawConnection();
    const std::string sql = orderdata::ProductTotalsSql(kDate, 1).toStdString();
    for (auto _ : state) {
        run(m, sql);
        MYSQL_RES* r = mysql_store_result(m);
        if (!r || mysql_num_rows(r) != 50) state.SkipWithError("the totals are incomplete");
        mysql_free_result(r);
    }
    mysql_close(m);
}

void BM_TotalsWithoutPlanIndexes(benchmark::State& state) {
    MYSQL* m = bench::rawConnection();
    run(m, "ALTER TABLE t_direction DROP KEY ix_direction_buyer_bdate");
    run(m, "ALTER TABLE t_ordering DROP KEY ix_ordering_direction");
    runTotals(state);
    run(m, "ALTER TABLE t_direction ADD KEY ix_direction_buyer_bdate (c_buyer, bdate)");
    run(m, "ALTER TABLE t_ordering ADD KEY ix_ordering_direction (c_direction, code)");
    mysql_close(m);
}

void BM_TotalsSchemaIndexes(benchmark::State& state) {
    runTotals(state);
}

void BM_TotalsCoveringIndex(benchmark::State& state) {
    MYSQL* m = bench::rawConnection();
    run(m,
        "ALTER TABLE t_ordering ADD KEY ix_ordering_direction_totals (c_direction, c_orderuser_sub, pname, "
        "qnt)");
    runTotals(state);
    run(m, "ALTER TABLE t_ordering DROP KEY ix_ordering_direction_totals");
    mysql_close(m);
}

// The server's time is the point here: wall time, the process waits for it.
BENCHMARK(BM_TotalsWithoutPlanIndexes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TotalsSchemaIndexes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TotalsCoveringIndex)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    bench::parseSize(argc, argv, 1000, "directions");
    QCoreApplication app(argc, argv);
    createData();
    bench::settleServer();
    return bench::runAndReportRatio(argc, argv, "BM_TotalsSchemaIndexes", "BM_TotalsWithoutPlanIndexes",
                                    bench::Ratio::Wall);
}
