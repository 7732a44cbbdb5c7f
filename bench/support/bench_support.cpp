#include "support/bench_support.h"

#include "widgets/spread_grid.h"

#include <QFile>

#include <mysql.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
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

// The repetitions of one benchmark, in seconds per iteration.
struct Times {
    std::vector<double> wall;
    std::vector<double> cpu;
    std::vector<double> ownCpu;  // the process alone, where the CPU figure counts other processes too
};

// Process CPU time: the benchmark's own, or that of the processes it started when it counts them.
double cpuSeconds(const benchmark::BenchmarkReporter::Run& r) {
    const auto child = r.counters.find(kChildCpuCounter);
    if (child != r.counters.end()) return child->second.value;
    return r.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
}

// Collects every repetition's wall and CPU time while printing as usual.
class TimesReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal: scripts read the lines.
    TimesReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Iteration || r.error_occurred) continue;
            Times& t = times[r.run_name.function_name];
            t.wall.push_back(r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit));
            t.cpu.push_back(cpuSeconds(r));
            const auto own = r.counters.find(kOwnCpuCounter);
            if (own != r.counters.end()) t.ownCpu.push_back(own->second.value);
        }
    }
    std::map<std::string, Times> times;
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// How far the repetitions lie apart, relative to their median: (max - min) / median.
double spread(const std::vector<double>& v) {
    const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
    const double m = median(v);
    return m > 0 ? (*hi - *lo) / m : 0;
}

struct RatioFigure {
    double value;
    double spread;  // of the measured and the baseline repetitions together
};

RatioFigure ratioOf(const std::vector<double>& measured, const std::vector<double>& baseline) {
    const double b = median(baseline);
    return {b > 0 ? median(measured) / b : 0, spread(measured) + spread(baseline)};
}

int g_size = 0;

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

void settleServer() {
    MYSQL* m = rawConnection();
    rawRun(m, "SET GLOBAL innodb_max_purge_lag_wait = 0");
    mysql_close(m);
}

double serverCpuSeconds() {
    static const QByteArray pid = [] {
        QFile f(qEnvironmentVariable("PELORA_BENCH_DB_DIR") + QStringLiteral("/mariadbd.pid"));
        return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed() : QByteArray();
    }();
    QFile stat(QStringLiteral("/proc/") + QString::fromLatin1(pid) + QStringLiteral("/stat"));
    if (pid.isEmpty() || !stat.open(QIODevice::ReadOnly)) return 0;
    const QByteArray text = stat.readAll();
    // Fields after the command name in parentheses: utime and stime are the 14th and 15th of the line.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13) return 0;
    return double(fields[11].toLongLong() + fields[12].toLongLong()) / double(sysconf(_SC_CLK_TCK));
}

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

CpuWithServer::CpuWithServer() : m_ownStart(processCpuSeconds()), m_serverStart(serverCpuSeconds()) {}

void CpuWithServer::report(benchmark::State& state) const {
    const double own = processCpuSeconds() - m_ownStart;
    const double server = serverCpuSeconds() - m_serverStart;
    const auto n = double(state.iterations() > 0 ? state.iterations() : 1);
    state.counters[kChildCpuCounter] = benchmark::Counter((own + server) / n);
    state.counters[kOwnCpuCounter] = benchmark::Counter(own / n);
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

int parseSize(int& argc, char** argv, int defaultSize, const char* unit, int scaleBase, int maxSize) {
    long explicitSize = 0;
    long scale = 0;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.rfind("--size=", 0) == 0)
            explicitSize = std::strtol(a.c_str() + 7, nullptr, 10);
        else if (a.rfind("--scale=", 0) == 0)
            scale = std::strtol(a.c_str() + 8, nullptr, 10);
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    argv[argc] = nullptr;
    if (explicitSize > 0)
        g_size = int(explicitSize);
    else if (scale > 0)
        g_size = int((scaleBase > 0 ? scaleBase : defaultSize) * scale);
    else
        g_size = defaultSize;
    std::printf("size: %d %s\n", g_size, unit);
    if (maxSize > 0 && g_size > maxSize) {
        std::printf("skipped: more %s than the workload can hold (%d)\n", unit, maxSize);
        std::fflush(stdout);
        std::exit(0);
    }
    return g_size;
}

int size() {
    return g_size;
}

int runAndReportRatio(int argc, char** argv, const char* measured, const char* baseline, Ratio last) {
    std::vector<char*> args(argv, argv + argc);
    const QByteArray repetitions = qgetenv("PELORA_BENCH_REPETITIONS");
    std::string reps =
        "--benchmark_repetitions=" + (repetitions.isEmpty() ? std::string("5") : repetitions.toStdString());
    std::string aggr = "--benchmark_report_aggregates_only=false";
    // The repetitions of the measured workload and of its baseline in random order, so that a slow spell
    // of a shared machine falls on both rather than on one of them.
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    args.push_back(reps.data());
    args.push_back(aggr.data());
    args.push_back(interleave.data());
    int n = int(args.size());
    benchmark::Initialize(&n, args.data());
    TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const auto m = reporter.times.find(measured);
    const auto b = reporter.times.find(baseline);
    if (m == reporter.times.end() || b == reporter.times.end()) {
        std::fprintf(stderr, "missing results for %s or %s\n", measured, baseline);
        return 1;
    }
    const bool own = last == Ratio::OwnCpu && !m->second.ownCpu.empty() && !b->second.ownCpu.empty();
    for (const auto& [name, t] : {std::pair{measured, m->second}, std::pair{baseline, b->second}}) {
        std::printf("%s median: %.3f ms wall, %.3f ms CPU", name, median(t.wall) * 1e3, median(t.cpu) * 1e3);
        if (own) std::printf(", %.3f ms own CPU", median(t.ownCpu) * 1e3);
        std::printf("\n");
    }
    const RatioFigure wall = ratioOf(m->second.wall, b->second.wall);
    const RatioFigure cpu = ratioOf(m->second.cpu, b->second.cpu);
    std::printf("wall ratio: %.2f (repetitions spread %.0f%%)\n", wall.value, wall.spread * 100);
    std::printf("CPU ratio: %.2f (repetitions spread %.0f%%)\n", cpu.value, cpu.spread * 100);
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory: %.1f MB\n", double(usage.ru_maxrss) / 1024);
    if (own) {
        const RatioFigure ownCpu = ratioOf(m->second.ownCpu, b->second.ownCpu);
        std::printf("own CPU ratio: %.2f (repetitions spread %.0f%%)\n", ownCpu.value, ownCpu.spread * 100);
        std::printf("last line: own CPU (this process alone, without the server's)\n");
        std::printf("ratio: %.2f\n", ownCpu.value);
        return 0;
    }
    if (last == Ratio::Wall) {
        std::printf("last line: wall (the time is the server's)\n");
        std::printf("ratio: %.2f\n", wall.value);
        return 0;
    }
    const bool cpuSteadier = cpu.value > 0 && cpu.spread <= wall.spread;
    std::printf("steadier: %s\n", cpuSteadier ? "CPU" : "wall");
    std::printf("ratio: %.2f\n", cpuSteadier ? cpu.value : wall.value);
    return 0;
}

}  // namespace bench
