// The clocks of the benchmarks. Wall time is what a user waits for; CPU time
// (user and system time) does not count the time spent waiting for a CPU on a
// shared machine, so the benchmarks give both, the best of several rounds or
// the median of several runs.
#pragma once

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double ms_between(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

inline double ms_since(Clock::time_point start) {
    return ms_between(start, Clock::now());
}

// The user and system time of a resource usage, in ms.
inline double cpu_ms(const rusage &u) {
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// The CPU time of this process and of the children it has waited for, in ms:
// a step that runs a program (a filter, cp) is charged with its time.
inline double cpu_ms() {
    rusage self{}, children{};
    getrusage(RUSAGE_SELF, &self);
    getrusage(RUSAGE_CHILDREN, &children);
    return cpu_ms(self) + cpu_ms(children);
}

// The peak resident memory of this process so far.
inline long peak_rss_kib() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// The wall and CPU time of one run of a step, in ms.
struct time_span {
    double wall = 0, cpu = 0;
};

template <class Step> time_span measure(Step step) {
    double cpu_start = cpu_ms();
    Clock::time_point start = Clock::now();
    step();
    time_span s;
    s.wall = ms_since(start);
    s.cpu = cpu_ms() - cpu_start;
    return s;
}

// The best wall and CPU times of a step over several rounds, in ms.
struct best_run {
    double wall = 1e12, cpu = 1e12;

    // Runs the step once; the CPU time of this round.
    template <class Step> double time(Step step) {
        time_span s = measure(step);
        wall = std::min(wall, s.wall);
        cpu = std::min(cpu, s.cpu);
        return s.cpu;
    }
};

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace bench
