#include "support/bench_support.h"

#include "widgets/spread_grid.h"

#include <QFile>

#include <mysql.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace bench {

namespace {

Server readServer() {
    Server s;
    QFile f(qEnvironmentVariable("PELORA_BENCH_DB_DIR") + QStringLiteral("/env"));
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "no database server: run this through scripts/bench\n");
        std::exit(2);
    }
    for (const QByteArray& line : f.readAll().split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq < 0) continue;
        const QByteArray key = line.left(eq);
        const QString value = QString::fromUtf8(line.mid(eq + 1)).trimmed();
        if (key == "DB_SOCKET") s.socket = value;
        if (key == "DB_USER") s.user = value;
        if (key == "DB_PASSWORD") s.password = value;
        if (key == "DB_NAME") s.database = value;
    }
    setenv("MYSQL_UNIX_PORT", s.socket.toLocal8Bit().constData(), 1);
    return s;
}

// Collects the median of every benchmark's repetitions while printing as usual.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                medians[r.run_name.function_name] =
                    r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);  // seconds
    }
    std::map<std::string, double> medians;
};

}  // namespace

MYSQL* rawConnection() {
    const Server& s = server();
    MYSQL* m = mysql_init(nullptr);
    mysql_options(m, MYSQL_SET_CHARSET_NAME, "latin1");
    if (!mysql_real_connect(m, "localhost", s.user.toUtf8().constData(), s.password.toUtf8().constData(),
                            s.database.toUtf8().constData(), 0, nullptr, 0)) {
        std::fprintf(stderr, "connect: %s\n", mysql_error(m));
        std::exit(1);
    }
    return m;
}

void rawRun(MYSQL* m, const std::string& sql) {
    if (mysql_real_query(m, sql.data(), sql.size()) != 0) {
        std::fprintf(stderr, "%s: %s\n", sql.c_str(), mysql_error(m));
        std::exit(1);
    }
}

void fillGrid(SpreadGrid& grid, const std::vector<QString>& texts, int rows, int cols) {
    std::size_t i = 0;
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c) grid.setText(c, r, texts[i++]);
}

const Server& server() {
    static const Server s = readServer();
    return s;
}

int runAndReportRatio(int argc, char** argv, const char* measured, const char* baseline) {
    std::vector<char*> args(argv, argv + argc);
    std::string reps = "--benchmark_repetitions=5";
    std::string aggr = "--benchmark_report_aggregates_only=false";
    args.push_back(reps.data());
    args.push_back(aggr.data());
    int n = int(args.size());
    benchmark::Initialize(&n, args.data());
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const auto m = reporter.medians.find(measured);
    const auto b = reporter.medians.find(baseline);
    if (m == reporter.medians.end() || b == reporter.medians.end() || b->second <= 0) {
        std::fprintf(stderr, "missing results for %s or %s\n", measured, baseline);
        return 1;
    }
    std::printf("%s median: %.3f ms\n%s median: %.3f ms\n", measured, m->second * 1e3, baseline,
                b->second * 1e3);
    std::printf("ratio: %.2f\n", m->second / b->second);
    return 0;
}

}  // namespace bench
