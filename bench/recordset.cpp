// Building a Recordset from a 10-column result (100,000 rows unless --size says otherwise) result of mixed
// Hangul and ASCII texts, against the same statement fetched through the raw C API without any conversion.
// The server's work (reading and sending the rows) is the same for both: the CPU figure counts it with the
// client's, and the client's own CPU time, the figure this benchmark ends on, is shown beside it.
#include "db/recordset.h"
#include "db/cmysql.h"
#include "support/bench_support.h"

#include <QCoreApplication>

#include <malloc.h>
#include <mysql.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

const char* kSelect = "SELECT * FROM bench_rs";

using bench::rawConnection;

void run(MYSQL* m, const std::string& sql) {
    bench::rawRun(m, sql);
}

// The throwaway server's buffer pool (128 MB) holds this table up to about 400,000 rows; beyond that every
// scan reads pages again, and the server's share of both sides grows faster than the rows. The pool is made
// large enough for the table (512 bytes a row), so that the scaling run measures the rows alone.
void sizeBufferPool(MYSQL* m) {
    const long long bytes = std::max<long long>(128LL << 20, 512LL * bench::size());
    if (bytes == 128LL << 20) return;
    run(m, "SET GLOBAL innodb_buffer_pool_size = " + std::to_string(bytes));
    // The server resizes in the background and shows its progress in a status variable, empty again (or
    // "Completed ...") when it is done.
    for (int i = 0; i < 600; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        run(m, "SHOW STATUS LIKE 'Innodb_buffer_pool_resize_status'");
        MYSQL_RES* r = mysql_store_result(m);
        MYSQL_ROW row = r ? mysql_fetch_row(r) : nullptr;
        const std::string status = row && row[1] ? row[1] : "";
        if (r) mysql_free_result(r);
        if (status.empty() || status.find("Completed") != std::string::npos) return;
    }
    std::fprintf(stderr, "the buffer pool was not resized within a minute\n");
}

// Ten columns: names and units in Hangul (code page 949 bytes), codes and numbers in ASCII, some with
// trailing spaces to cut.
void createData() {
    MYSQL* m = rawConnection();
    sizeBufferPool(m);
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
    // Builds the first Recordset of the process (and the code page's table) before the clock runs.
    reportMemoryPerRow();
    return bench::runAndReportRatio(argc, argv, "BM_Recordset", "BM_RawFetch", bench::Ratio::OwnCpu);
}
