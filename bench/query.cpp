// The main window's query command on a date with 1,000 directions and 20,000 order lines: from the call
// until the direction list, the order lines of its first direction and the buyer's product totals are
// filled and painted once, against the same three statements run through the raw C API with their rows
// fetched and discarded.
//
// Most of the time is the server's, so the CPU figure of both adds the server process's CPU time to this
// process's: the work done for one command, wherever it ran.
#include "db/mysql_func.h"
#include "orderdata/order_statements.h"
#include "orders/frm_main.h"
#include "platform/fonts.h"
#include "startup/session.h"
#include "support/bench_support.h"
#include "widgets/spread_grid.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QTemporaryDir>

#include <mysql.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

// 20 lines per direction.
int directions() {
    return bench::size();
}
int lines() {
    return bench::size() * 20;
}
const QString kDate = QStringLiteral("2030-05-10");

using bench::rawConnection;

void run(MYSQL* m, const std::string& sql) {
    bench::rawRun(m, sql);
}

// Buyer 1's day: 1,000 directions of all kinds (the first a 리드, so the totals are queried), 20 lines
// each over 50 products, 200 customers' orders, half of them with a car. Names are Hangul (code page 949).
void createData() {
    MYSQL* m = rawConnection();
    run(m,
        "INSERT INTO t_buyer (code, mname, printtotal) VALUES (1, UNHEX('B6F3BAA5C3BBB0FA'), 1)");  // 라벤청과
    run(m,
        "INSERT INTO local_user (code, loginid, c_buyer, local_name, branch) VALUES "
        "(1, 'ADMIN', 1, UNHEX('B0FCB8AEC0DA'), 2)");  // 관리자
    run(m,
        "INSERT INTO t_direction (code, sdate, ddate, dtime, bdate, branch, c_user, c_buyer, state) "
        "SELECT seq, '2030-05-10', '2030-05-09', CONCAT(LPAD(seq % 24, 2, '0'), ':00'), '2030-05-10', "
        "IF(seq = 1, 1, seq % 4), 1, 1, IF(seq % 5 = 0, UNHEX('C3E2B7C2'), '') FROM seq_1_to_" +
            std::to_string(directions()));
    run(m,
        "INSERT INTO t_product (code, mname, unit, mnote, c_buyer1) SELECT seq, "
        "CONCAT(UNHEX('BEE7C6C4'), ' ', seq), IF(seq % 2, 'kg', UNHEX('B9DABDBA')), UNHEX('C6AFC7B0'), 1 "
        "FROM seq_1_to_50");  // 양파 n, kg or 박스, 특품
    run(m,
        "INSERT INTO t_client (code, mname) SELECT seq, CONCAT(UNHEX('C7D1BAFBC3CA'), ' ', seq) "
        "FROM seq_1_to_200");  // 한빛초 n
    run(m,
        "INSERT INTO t_order (code, c_client, nickname) SELECT seq, seq, CONCAT(UNHEX('C7D1BAFB'), seq) "
        "FROM seq_1_to_200");
    run(m, "INSERT INTO t_orderuser (code, c_order) SELECT seq, seq FROM seq_1_to_200");
    run(m,
        "INSERT INTO t_car (code, mname) SELECT seq, CONCAT(seq, UNHEX('C8A3C2F7')) FROM seq_1_to_10");  // n호차
    run(m,
        "INSERT INTO t_allocate_user (code, c_orderuser, c_car) SELECT seq, seq * 2, seq % 10 + 1 "
        "FROM seq_1_to_100");
    run(m,
        "INSERT INTO t_orderuser_sub (code, c_orderuser, c_product) SELECT seq, seq % 200 + 1, seq % 50 + 1 "
        "FROM seq_1_to_" +
            std::to_string(lines()));
    run(m,
        "INSERT INTO t_ordering (code, pname, qnt, bigo, c_direction, c_product, c_orderuser_sub) "
        "SELECT seq, CONCAT(UNHEX('BEE7C6C4'), ' ', seq % 50 + 1), seq % 30 + 0.5, "
        "IF(seq % 7 = 0, UNHEX('BFC0C0FC20B9E8BCDB'), ''), (seq - 1) DIV 20 + 1, seq % 50 + 1, seq "
        "FROM seq_1_to_" +
            std::to_string(lines()));  // 오전 배송 on some lines
    mysql_close(m);
}

// The statements of the query command for the first listed direction (code 1) of buyer 1.
std::string statement(const QString& sql) {
    return sql.toLatin1().toStdString();
}

void BM_RawStatements(benchmark::State& state) {
    MYSQL* m = rawConnection();
    const std::string statements[] = {
        statement(orderdata::DirectionListSql(QStringLiteral("d.sdate"), 1, kDate, false)),
        statement(orderdata::OrderLinesSql(1)),
        statement(orderdata::ProductTotalsSql(kDate, 1)),
    };
    const bench::CpuWithServer cpu;
    for (auto _ : state) {
        std::size_t rows = 0;
        for (const std::string& sql : statements) {
            run(m, sql);
            MYSQL_RES* r = mysql_store_result(m);
            while (MYSQL_ROW row = mysql_fetch_row(r)) benchmark::DoNotOptimize(row), ++rows;
            mysql_free_result(r);
        }
        benchmark::DoNotOptimize(rows);
    }
    cpu.report(state);
    mysql_close(m);
}

void BM_QueryCommand(benchmark::State& state) {
    QTemporaryDir data;
    qputenv("PELORA_DATA_DIR", data.path().toUtf8());
    const bench::Server& s = bench::server();
    if (!DBInit(QStringLiteral("localhost"), s.user, s.password, s.database)) {
        state.SkipWithError("no session");
        return;
    }
    BuyerCode = 1;
    frmMain window;
    window.show();
    QApplication::processEvents();
    window.cmbField()->setCurrentIndex(0);
    window.SetDateText(kDate);
    const bench::CpuWithServer cpu;
    for (auto _ : state) {
        window.RunQuery();
        window.repaint();  // the three grids painted once, synchronously
    }
    cpu.report(state);
    if (window.spListO()->maxRows() != directions() || window.spList()->maxRows() != lines() / directions() ||
        window.spListG()->maxRows() != 50)
        state.SkipWithError("the grids are incomplete");
    window.hide();
    DBClose();
}

BENCHMARK(BM_RawStatements)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueryCommand)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    bench::parseSize(argc, argv, 1000, "directions");
    QApplication app(argc, argv);
    installFontSubstitutes();
    createData();
    bench::settleServer();
    return bench::runAndReportRatio(argc, argv, "BM_QueryCommand", "BM_RawStatements");
}
