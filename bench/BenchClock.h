#ifndef BENCH_BENCHCLOCK_H
#define BENCH_BENCHCLOCK_H

#include <windows.h>

// The benchmarks' clock: the performance counter in seconds and milliseconds.
inline double BenchSeconds() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double BenchMilliseconds() {
    return 1000.0 * BenchSeconds();
}

#endif
