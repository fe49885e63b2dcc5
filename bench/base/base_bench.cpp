#include "bench/base/base_bench.h"

// The base library's paths that the installer runs on every package:
// checksums, inflating, encoding, ordered maps. Arguments pick cases by name.
int main(int argc, char** argv)
{
    std::vector<BenchCase> cases;
    for (auto* subject : {zlib_bench_cases, text_bench_cases, tree_map_bench_cases}) {
        std::vector<BenchCase> more = subject();
        cases.insert(cases.end(), more.begin(), more.end());
    }
    return bench_run(cases, argc, argv);
}
