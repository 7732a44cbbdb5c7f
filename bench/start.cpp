// Start-up time: a process started on the settings-store path, from its start to the hand-over to the login
// window, against a baseline process that only creates the application object and opens one database
// connection. Both are real processes (bench_start_app and bench_start_baseline beside this program), so
// the figures include loading the program and its libraries.
#include "common/codecs.h"
#include "platform/settings_store.h"
#include "startup/session.h"
#include "support/bench_support.h"

#include <QTemporaryDir>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <cstdlib>
#include <filesystem>
#include <string>

extern char** environ;

namespace {

std::string helperPath(const char* name) {
    return (std::filesystem::canonical("/proc/self/exe").parent_path() / name).string();
}

// Runs the helper to its end and adds the CPU time it used (user and system) to `cpuSeconds`.
bool runOnce(const std::string& path, double& cpuSeconds) {
    pid_t pid = 0;
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    cpuSeconds += double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                  double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void runProcess(benchmark::State& state, const char* helper) {
    const std::string path = helperPath(helper);
    double cpuSeconds = 0;
    for (auto _ : state) {
        if (!runOnce(path, cpuSeconds)) {
            state.SkipWithError("the helper process failed (see its output)");
            break;
        }
    }
    // The work happens in the helper: its CPU time is the process CPU time of this workload.
    state.counters[bench::kChildCpuCounter] =
        benchmark::Counter(cpuSeconds, benchmark::Counter::kAvgIterations);
}

void BM_StartToLoginWindow(benchmark::State& state) {
    runProcess(state, "bench_start_app");
}
void BM_ApplicationAndConnection(benchmark::State& state) {
    runProcess(state, "bench_start_baseline");
}

BENCHMARK(BM_StartToLoginWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_ApplicationAndConnection)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    const bench::Server& server = bench::server();
    // The connection manager's settings for the settings-store path, in a private settings folder that
    // both helper processes read; a private runtime folder for the single-instance lock.
    QTemporaryDir config;
    QTemporaryDir runtime;
    setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
    setenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);
    const QString section = QStringLiteral("서버정보");
    settings::save(kConnectionManagerApp, section, QStringLiteral("서버Type"), QStringLiteral("1"));
    settings::save(kConnectionManagerApp, section, QStringLiteral("IP"), QStringLiteral("localhost"));
    settings::save(kConnectionManagerApp, section, QStringLiteral("ID"), server.user);
    settings::save(kConnectionManagerApp, section, QStringLiteral("DB명"), server.database);
    settings::save(kConnectionManagerApp, section, QStringLiteral("PWD"), EncodeStr(server.password));
    return bench::runAndReportRatio(argc, argv, "BM_StartToLoginWindow", "BM_ApplicationAndConnection");
}
