// What the sections of bench_compare kept in their own files share: thread CPU time, minimum and
// median of the repetitions, and the table's row.
#pragma once
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace compare {

struct Timing {
    double min = 0, median = 0;  // milliseconds per call
};

inline double ThreadMs() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

inline Timing Summarise(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v.front(), v[v.size() / 2]};
}

// Times `ours` and `anchor` alternately, each sample `inner` calls, in milliseconds per call.
inline void Time(int repetitions, int inner, const std::function<void()>& ours,
                 const std::function<void()>& anchor, Timing& o, Timing& a) {
    ours();
    anchor();  // warm both
    std::vector<double> so, sa;
    for (int r = 0; r < repetitions; ++r) {
        const double t0 = ThreadMs();
        for (int i = 0; i < inner; ++i) ours();
        const double t1 = ThreadMs();
        for (int i = 0; i < inner; ++i) anchor();
        const double t2 = ThreadMs();
        so.push_back((t1 - t0) / inner);
        sa.push_back((t2 - t1) / inner);
    }
    o = Summarise(so);
    a = Summarise(sa);
}

// One row of the table: microseconds per call, and how many times slower the anchor is.
inline void Row(const char* name, const char* anchorName, int depth, const Timing& o, const Timing& a,
                const std::string& check) {
    std::printf("%-36s %2d  %9.1f %9.1f  %-26s %9.1f %9.1f  %5.2fx  %s\n", name, depth, o.min * 1e3,
                o.median * 1e3, anchorName, a.min * 1e3, a.median * 1e3, a.median / o.median, check.c_str());
}

}  // namespace compare

// The mixer's rows (bench/compare/mixer_rows.cpp).
void MixerRows(int repetitions);
