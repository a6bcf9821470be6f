// The one entry point of vantrel_bench; each bench/*.cpp only registers its benchmarks.
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
