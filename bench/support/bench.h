#ifndef BENCH_SUPPORT_BENCH_H
#define BENCH_SUPPORT_BENCH_H

#include <functional>
#include <string>
#include <vector>

#include "base/clock.h"

// One path of the program measured against a reference that does the same
// work. Each side does its work once per call and answers the microseconds
// of the part that counts, so that setup can stay out of the measurement.
struct BenchCase {
    std::string name;       // ours
    std::string reference;  // what it is measured against
    double target;          // the largest acceptable ratio ours / reference (every case has one)
    std::function<double()> ours_run;
    std::function<double()> reference_run;
};

// The microseconds that work takes.
template <class Work>
double time_us(Work&& work)
{
    uint64_t start = clock_now_us();
    work();
    return double(clock_now_us() - start);
}

// Ends the program with a message when the two sides do not agree: a ratio
// of different work means nothing.
void bench_require(bool agree, const std::string& what);

// Runs the cases whose names contain one of the program's arguments (all
// without any): after one warm-up call of each side, rounds calls of each
// side taken in turn. Prints the medians and their ratio per case; answers
// the exit status: 0 when every ratio is within its target, 1 otherwise.
int bench_run(const std::vector<BenchCase>& cases, int argc, char** argv, int rounds = 7);

// The median of the values (the mean of the middle two for an even count).
double bench_median(std::vector<double> values);

// Keeps a result alive so that the work producing it is not optimised away.
void bench_keep(uint64_t value);

#endif
