#pragma once

#include <benchmark/benchmark.h>

#include <QString>

#include <string>
#include <vector>

struct st_mysql;
class SpreadGrid;

// What the benchmark programs share: the throwaway server that scripts/bench started, and the ratio line.
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

// Fills rows 1..rows, columns 1..cols of `grid` with `texts` (row by row), as the windows' loads do.
void fillGrid(SpreadGrid& grid, const std::vector<QString>& texts, int rows, int cols);

// Runs the registered benchmarks (repetitions with medians), then prints both medians and the line
// "ratio: N.NN" = median of `measured` / median of `baseline` (the names as registered).
int runAndReportRatio(int argc, char** argv, const char* measured, const char* baseline);

}  // namespace bench
