// Wall-clock timing for the benchmark programs: the times of repeated runs
// of one piece of work, in milliseconds, and their median.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

struct Timing {
    std::vector<double> times;
    double Median() const
    {
        std::vector<double> sorted = times;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
};

// Runs work once and adds its time to timing.
inline void Time(Timing& timing, const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    timing.times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
}
