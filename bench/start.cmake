# bench_start times two helper processes (built from bench/start_app.cpp and bench/start_baseline.cpp like
# every bench/*.cpp); building bench_start builds them too.
add_dependencies(bench_start bench_start_app bench_start_baseline)
