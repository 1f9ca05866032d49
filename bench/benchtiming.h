// Timing helpers of the benchmarks that time a piece of work in a loop:
// the median wall time and the median processor time of this thread over
// several runs, and their FIGURE lines for scripts/bench.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTextStream>
#include <algorithm>
#include <ctime>
#include <functional>
#include <vector>

namespace BenchTiming {

inline double threadCpuMs()
{
    timespec ts {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// The processor time is what counts on a machine shared with other work.
struct Timing {
    double wall;
    double cpu;
};

// `setup` runs before each run of `work`, outside the clocks.
inline Timing median(
    int runs, const std::function<void()> &setup, const std::function<void()> &work)
{
    std::vector<double> wall, cpu;
    for (int i = 0; i < runs; ++i) {
        setup();
        QElapsedTimer t;
        const double c0 = threadCpuMs();
        t.start();
        work();
        wall.push_back(t.nsecsElapsed() / 1e6);
        cpu.push_back(threadCpuMs() - c0);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return { wall[wall.size() / 2], cpu[cpu.size() / 2] };
}

inline Timing median(int runs, const std::function<void()> &work)
{
    return median(
        runs, [] {}, work);
}

// Two lines: `name` (wall) and `name_cpu`, in ms.
inline void figure(const QString &name, const Timing &t)
{
    QTextStream out(stdout);
    out << "FIGURE\t" << name << '\t' << QString::number(t.wall, 'f', 3) << "\tms\n";
    out << "FIGURE\t" << name << "_cpu\t" << QString::number(t.cpu, 'f', 3) << "\tms\n";
}

} // namespace BenchTiming
