#ifndef BENCH_BENCHFIGURES_H
#define BENCH_BENCHFIGURES_H

#include <algorithm>
#include <vector>

// The benchmarks' figures of a set of runs.
inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

inline double Worst(const std::vector<double>& values) {
    return *std::max_element(values.begin(), values.end());
}

#endif
