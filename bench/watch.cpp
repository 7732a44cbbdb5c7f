// The main window's quiet watch at scale: a year of directions of 500 buyers (four a day each, 730,000 in
// all) on the throwaway server, and the one statement that every open window sends once a period, for a
// buyer's day. Its baseline is the cheapest statement there is, a bare "SELECT 1" round trip on the same
// connection: the ratio says what the watch costs beyond merely talking to the server.
//
// Both benchmarks also count the server's own CPU time per statement (the mariadbd process, read from
// /proc), and the program ends with what 500 clients polling once a minute cost the server, as a share of
// one core.
#include "orderdata/order_statements.h"
#include "support/bench_support.h"

#include <QCoreApplication>
#include <QDate>

#include <mysql.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kDays = 365;
constexpr int kPerDay = 4;  // directions of one buyer on one day
constexpr int kClients = 500;
constexpr double kPollSeconds = 60;

std::string count(long n) {
    return std::to_string(n);
}

int buyers() {
    return bench::size();
}

void createData() {
    const long directions = long(buyers()) * kDays * kPerDay;
    MYSQL* m = bench::rawConnection();
    // Day d of 2030 holds directions of every buyer; a third of them printed (출力).
    bench::rawRun(
        m,
        "INSERT INTO t_direction (code, sdate, ddate, dtime, bdate, branch, c_user, c_buyer, state, "
        "updatechk) SELECT seq, DATE_ADD('2030-01-01', INTERVAL (CAST(seq AS SIGNED) - 1) DIV " +
            count(long(buyers()) * kPerDay) +
            " DAY), DATE_ADD('2030-01-01', INTERVAL (CAST(seq AS SIGNED) - 1) DIV " +
            count(long(buyers()) * kPerDay) +
            " - 1 DAY), '09:00', DATE_ADD('2030-01-01', INTERVAL (CAST(seq AS SIGNED) - 1) DIV " +
            count(long(buyers()) * kPerDay) + " DAY), seq % 4, 1, (seq - 1) % " + count(buyers()) +
            " + 1, IF(seq % 3 = 0, UNHEX('C3E2B7C2'), ''), '' FROM seq_1_to_" + count(directions));
    bench::rawRun(m, "ANALYZE TABLE t_direction");
    mysql_free_result(mysql_store_result(m));
    mysql_close(m);
    std::printf("data: %ld directions of %d buyers over %d days\n", directions, buyers(), kDays);
}

// The statement of client i's poll: its buyer and a day of the year.
std::string pollSql(long i) {
    const int buyer = int(i % buyers()) + 1;
    const QString date = QStringLiteral("2030-01-01");
    const QString day = QDate::fromString(date, QStringLiteral("yyyy-MM-dd"))
                            .addDays(i * 7 % kDays)
                            .toString(QStringLiteral("yyyy-MM-dd"));
    return orderdata::DirectionListMarkSql(QStringLiteral("d.sdate"), buyer, day, false).toStdString();
}

// Runs one statement and checks that it answered one row.
bool ask(MYSQL* m, const std::string& sql) {
    if (mysql_real_query(m, sql.data(), sql.size()) != 0) return false;
    MYSQL_RES* r = mysql_store_result(m);
    const bool one = r && mysql_num_rows(r) == 1;
    mysql_free_result(r);
    return one;
}

void measure(benchmark::State& state, const std::function<std::string(long)>& statement) {
    // The statements are written before the clock runs: the client's text building is not the server's.
    std::vector<std::string> statements;
    for (long k = 0; k < 4096; ++k) statements.push_back(statement(k));
    MYSQL* m = bench::rawConnection();
    long i = 0;
    // Read around the whole loop, not per statement, so that reading it costs the loop nothing. The
    // server's clock ticks are coarse; their sum over many statements is not.
    const double before = bench::serverCpuSeconds();
    for (auto _ : state)
        if (!ask(m, statements[size_t(i++ % 4096)])) state.SkipWithError("the statement failed");
    const double serverCpu = bench::serverCpuSeconds() - before;
    // The server's CPU seconds per statement.
    state.counters[bench::kChildCpuCounter] = benchmark::Counter(serverCpu / double(i > 0 ? i : 1));
    mysql_close(m);
}

void BM_SelectOne(benchmark::State& state) {
    measure(state, [](long) { return std::string("SELECT 1"); });
}

void BM_WatchPoll(benchmark::State& state) {
    measure(state, pollSql);
}

// The cheapest statement that reads the table at all: one direction by its primary key. What separates
// it from SELECT 1 (opening the table, planning, one index descent) is the floor of any watch statement.
void BM_PrimaryKeyLookup(benchmark::State& state) {
    measure(state, [](long i) {
        return "SELECT d.code FROM t_direction AS d WHERE d.code = " +
               count(i * 97 % (long(buyers()) * kDays * kPerDay) + 1);
    });
}

// What 500 clients polling once a minute cost: the server's CPU time of a long run of polls, spread over
// the minute in which 500 of them arrive.
void reportLoad() {
    MYSQL* m = bench::rawConnection();
    constexpr long kPolls = 20000;
    const double before = bench::serverCpuSeconds();
    long failed = 0;
    for (long i = 0; i < kPolls; ++i)
        if (!ask(m, pollSql(i))) ++failed;
    const double perPoll = (bench::serverCpuSeconds() - before) / double(kPolls);
    mysql_close(m);
    const double share = perPoll * kClients / kPollSeconds;
    std::printf("server CPU per poll: %.1f us (%ld polls, %ld failed)\n", perPoll * 1e6, kPolls, failed);
    std::printf("load of %d clients polling every %.0f s: %.4f%% of one core\n", kClients, kPollSeconds,
                share * 100);
}

// Wall time: the client waits for the server, whose time is the point.
BENCHMARK(BM_SelectOne)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_WatchPoll)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_PrimaryKeyLookup)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    bench::parseSize(argc, argv, kClients, "buyers");
    QCoreApplication app(argc, argv);
    createData();
    bench::settleServer();
    reportLoad();
    return bench::runAndReportRatio(argc, argv, "BM_WatchPoll", "BM_SelectOne", bench::Ratio::Wall);
}
