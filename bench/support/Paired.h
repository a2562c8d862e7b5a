#pragma once

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <string>
#include <vector>

// Times the program's own path and its bare twin in the same run, one after
// the other in every iteration (the order swapped each time, so neither
// always finds the caches the other left). The benchmark's time is ours
// (manual time); the counters give both sides' minimum and median in the
// benchmark's unit and the ratios ours / bare of both.
//
//     Paired pair(1e3); // counters in milliseconds
//     for (auto _ : state)
//         pair.Run(state, [&] { ...ours... }, [&] { ...bare... });
//     pair.Report(state);
//
// Register it with ->UseManualTime().
class Paired
{
  public:
    // The counters' unit: 1e3 for milliseconds, 1e6 for microseconds.
    explicit Paired(double unitPerSecond = 1e3) : m_unitPerSecond(unitPerSecond) {}

    template <class Ours, class Bare> void Run(benchmark::State& state, Ours&& ours, Bare&& bare)
    {
        double oursSeconds = 0;
        if (m_ours.size() % 2 == 0) {
            oursSeconds = timed(ours);
            m_bare.push_back(timed(bare));
        } else {
            m_bare.push_back(timed(bare));
            oursSeconds = timed(ours);
        }
        m_ours.push_back(oursSeconds);
        state.SetIterationTime(oursSeconds);
    }

    void Report(benchmark::State& state) const
    {
        if (m_ours.empty())
            return;
        const double unit = m_unitPerSecond;
        const double oursMin = minOf(m_ours), bareMin = minOf(m_bare);
        const double oursMedian = medianOf(m_ours), bareMedian = medianOf(m_bare);
        state.counters["ours_min"] = oursMin * unit;
        state.counters["bare_min"] = bareMin * unit;
        state.counters["ratio_min"] = bareMin > 0 ? oursMin / bareMin : 0;
        state.counters["ours_med"] = oursMedian * unit;
        state.counters["bare_med"] = bareMedian * unit;
        state.counters["ratio_med"] = bareMedian > 0 ? oursMedian / bareMedian : 0;
    }

  private:
    template <class F> static double timed(F&& f)
    {
        const auto start = std::chrono::steady_clock::now();
        f();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    static double minOf(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }
    static double medianOf(std::vector<double> v)
    {
        std::nth_element(v.begin(), v.begin() + std::ptrdiff_t(v.size() / 2), v.end());
        return v[v.size() / 2];
    }

    double m_unitPerSecond;
    std::vector<double> m_ours;
    std::vector<double> m_bare;
};
