#include "bench/support/bench.h"

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>

namespace {

volatile uint64_t kept;

bool selected(const BenchCase& c, int argc, char** argv)
{
    if (argc < 2)
        return true;
    for (int i = 1; i < argc; ++i) {
        if (c.name.find(argv[i]) != std::string::npos)
            return true;
    }
    return false;
}

}  // namespace

void bench_require(bool agree, const std::string& what)
{
    if (agree)
        return;
    fprintf(stderr, "bench: the two sides disagree: %s\n", what.c_str());
    exit(2);
}

double bench_median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void bench_keep(uint64_t value)
{
    kept = kept + value;
}

int bench_run(const std::vector<BenchCase>& cases, int argc, char** argv, int rounds)
{
    printf("%-44s %-36s %10s %10s %7s %7s\n", "ours", "reference", "ours ms", "ref ms", "ratio", "target");
    int status = 0;
    for (const BenchCase& c : cases) {
        if (!selected(c, argc, argv))
            continue;
        c.ours_run();
        c.reference_run();
        std::vector<double> ours, reference;
        for (int round = 0; round < rounds; ++round) {
            ours.push_back(c.ours_run());
            reference.push_back(c.reference_run());
        }
        double ours_us = bench_median(ours), reference_us = bench_median(reference);
        double ratio = reference_us > 0 ? ours_us / reference_us : 0;
        bool met = ratio <= c.target;
        printf("%-44s %-36s %10.2f %10.2f %7.2f %7.2f%s\n", c.name.c_str(), c.reference.c_str(), ours_us / 1000,
               reference_us / 1000, ratio, c.target, met ? "" : "  MISSED");
        fflush(stdout);
        if (!met)
            status = 1;
    }
    return status;
}
