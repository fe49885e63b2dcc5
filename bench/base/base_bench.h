#ifndef BENCH_BASE_BASE_BENCH_H
#define BENCH_BASE_BASE_BENCH_H

#include <vector>

#include "bench/support/bench.h"

// The cases of the base library's benchmark, by subject.
std::vector<BenchCase> zlib_bench_cases();
std::vector<BenchCase> text_bench_cases();
std::vector<BenchCase> tree_map_bench_cases();

#endif
