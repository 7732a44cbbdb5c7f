// Building a Recordset from a 10-column result (100,000 rows unless --size says otherwise) result of mixed
// Hangul and ASCII texts, against the same statement fetched through the raw C API without any conversion.
// The server's work (reading and sending the rows) is the same for both: the CPU figure counts it with the
// client's, and the client's own share is shown beside it (own_cpu_s).
#include "db/recordset.h"
#include "db/cmysql.h"
#include "support/bench_support.h"

#include <QCoreApplication>

#include <malloc.h>
#include <mysql.h>

#include <cstdio>
#include <cstdlib>

namespace {

const char* kSelect = "SELECT * FROM bench_rs";

using bench::rawConnection;

void run(MYSQL* m, const std::string& sql) {
    bench::rawRun(m, sql);
}

// Ten columns: names and units in Hangul (code page 949 bytes), codes and numbers in ASCII, some with
// trailing spaces to cut.
void createData() {
    MYSQL* m = rawConnection();
    run(m, "DROP TABLE IF EXISTS bench_rs");
    run(m,
        "CREATE TABLE bench_rs (c1 INT, c2 VARCHAR(40), c3 VARCHAR(40), c4 VARCHAR(20), c5 VARCHAR(20), "
        "c6 VARCHAR(40), c7 VARCHAR(20), c8 VARCHAR(40), c9 VARCHAR(20), c10 VARCHAR(60)) CHARSET latin1");
    run(m,
        "INSERT INTO bench_rs SELECT seq, "
        "CONCAT(UNHEX('BBE7B0FA'), ' ', seq),"  // 사과 n
        "CONCAT('PRD-', LPAD(seq, 8, '0')),"
        "UNHEX('B9DA BDBA'),"  // 박스
        "CONCAT(seq % 97, '.5'),"
        "CONCAT(UNHEX('B1B9B3BBBBEA'), '  '),"  // 국내산 + trailing blanks
        "IF(seq % 3 = 0, NULL, 'cold'),"
        "CONCAT(UNHEX('8C63BEE4'), ' Foods ', seq % 13),"  // 똠얌 Foods k
        "DATE_FORMAT(DATE_ADD('2026-01-01', INTERVAL seq % 365 DAY), '%Y-%m-%d'),"
        "CONCAT('remark ', UNHEX('B1B9B3BB'), ' ', REPEAT('x', seq % 20)) "
        "FROM seq_1_to_" +
            std::to_string(bench::size()));
    mysql_close(m);
}

void BM_RawFetch(benchmark::State& state) {
    MYSQL* m = rawConnection();
    const bench::CpuWithServer cpu;
    for (auto _ : state) {
        run(m, kSelect);
        MYSQL_RES* r = mysql_store_result(m);
        const unsigned int n = mysql_num_fields(r);
        std::size_t bytes = 0;
        while (MYSQL_ROW row = mysql_fetch_row(r)) {
            const unsigned long* len = mysql_fetch_lengths(r);
            for (unsigned int k = 0; k < n; ++k) bytes += row[k] ? len[k] : 0;
        }
        benchmark::DoNotOptimize(bytes);
        mysql_free_result(r);
    }
    cpu.report(state);
    mysql_close(m);
}

void BM_Recordset(benchmark::State& state) {
    cMySQL conn;
    const bench::Server& s = bench::server();
    conn.real_connect(QStringLiteral("localhost"), s.user, s.password, s.database, 3306, QString(), 0, true);
    conn.DoMemFree(true);
    const bench::CpuWithServer cpu;
    for (auto _ : state) {
        RecordsetPtr rs = conn.query(QString::fromLatin1(kSelect));
        if (!rs || rs->RecordCount() != bench::size()) state.SkipWithError("the result is incomplete");
        conn.free_result();
        CloseRecordset(rs);
    }
    cpu.report(state);
}

BENCHMARK(BM_RawFetch)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Recordset)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

// Bytes allocated from the heap, large blocks (mmap) included.
std::size_t heapInUse() {
    const struct mallinfo2 mi = mallinfo2();
    return mi.uordblks + mi.hblkhd;
}

// Heap bytes that a built Recordset holds, per row (the native result released first).
void reportMemoryPerRow() {
    cMySQL conn;
    const bench::Server& s = bench::server();
    conn.real_connect(QStringLiteral("localhost"), s.user, s.password, s.database, 3306, QString(), 0, true);
    conn.DoMemFree(true);
    malloc_trim(0);
    const std::size_t before = heapInUse();
    RecordsetPtr rs = conn.query(QString::fromLatin1(kSelect));
    conn.free_result();
    const std::size_t after = heapInUse();
    std::printf("Recordset memory: %.1f bytes per row (%d rows, 10 columns)\n",
                double(after - before) / rs->RecordCount(), rs->RecordCount());
}

}  // namespace

int main(int argc, char** argv) {
    bench::parseSize(argc, argv, 100000, "rows");
    QCoreApplication app(argc, argv);
    createData();
    bench::settleServer();
    // Builds the first Recordset of the process, so that the baseline too runs under the allocator
    // settings that the database layer applies then (freed memory kept for the next result).
    reportMemoryPerRow();
    return bench::runAndReportRatio(argc, argv, "BM_Recordset", "BM_RawFetch");
}
