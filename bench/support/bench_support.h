#pragma once

#include <benchmark/benchmark.h>

#include <QString>

#include <string>
#include <vector>

struct st_mysql;
class SpreadGrid;

// What the benchmark programs share: the throwaway server that scripts/bench started, the workload size
// given on the command line, and the report that ends with the ratio line.
namespace bench {

struct Server {
    QString socket;
    QString user;
    QString password;
    QString database;
};

// The server of $PELORA_BENCH_DB_DIR/env; also points the client library's default socket at it.
const Server& server();

// A raw client connection to that server with the latin1 character set (the bytes pass unchanged), and a
// statement run on it; both end the program on failure.
st_mysql* rawConnection();
void rawRun(st_mysql* m, const std::string& sql);

// Waits until the server has cleaned up after the inserts that made the data (InnoDB's purge), so that
// this background work does not land in the first measurements.
void settleServer();

// CPU time (user and system) in seconds: of the throwaway server's process (read from /proc; its clock
// ticks are coarse, so read it around many statements), and of this process.
double serverCpuSeconds();
double processCpuSeconds();

// This process's and the server's CPU time over a benchmark's whole loop (the server's clock ticks are
// coarse; their sum over many iterations is not), reported per iteration as the CPU time of a workload whose
// work is shared with the server; the process's own share is shown beside it as "own_cpu_s".
class CpuWithServer {
public:
    CpuWithServer();
    void report(benchmark::State& state) const;

private:
    double m_ownStart;
    double m_serverStart;
};

// Fills rows 1..rows, columns 1..cols of `grid` with `texts` (row by row), as the windows' loads do.
void fillGrid(SpreadGrid& grid, const std::vector<QString>& texts, int rows, int cols);

// The workload's size (rows, lines, labels: `unit` names it): `--size=N` on the command line; with
// `--scale=K` (the scaling run) `scaleBase` times K, where a workload whose format caps its size (a sheet
// of at most 65,536 rows) gives a base below its default; otherwise `defaultSize`. Takes the options out
// of argv, so call it first in main; prints "size: N unit". A size above `maxSize` (when given) ends the
// program after the line "skipped: ...". Later calls of size() return the same number.
int parseSize(int& argc, char** argv, int defaultSize, const char* unit, int scaleBase = 0, int maxSize = 0);
int size();

// The counter a benchmark sets when its work runs in other processes too (seconds of CPU time per
// iteration: theirs, plus its own where the work is shared); the report takes it instead of the
// benchmark's own CPU time.
inline constexpr const char* kChildCpuCounter = "child_cpu_s";
// The counter with the process's own share of such a figure (CpuWithServer sets it).
inline constexpr const char* kOwnCpuCounter = "own_cpu_s";

// Runs the registered benchmarks ($PELORA_BENCH_REPETITIONS repetitions, default 5), then prints the
// medians of `measured` and `baseline` (the names as registered) in wall and CPU time, both ratios with
// the spread of their repetitions, the peak memory of the process, and last the line "ratio: N.NN" of
// the steadier of the two ratios (the one whose repetitions spread less). A workload whose time is spent
// in another process that the report cannot see (the database server) ends with the wall-time ratio. One
// whose figure counts the server's CPU with its own (CpuWithServer) can end with the ratio of its own CPU
// time instead: the client's cost, which the server's share would dilute; its medians and ratio are printed
// beside the others.
enum class Ratio { Steadier, Wall, OwnCpu };
int runAndReportRatio(int argc, char** argv, const char* measured, const char* baseline,
                      Ratio last = Ratio::Steadier);

}  // namespace bench
