#pragma once
// Ratios that hold on a busy machine: the measured work and its reference run
// alternately, one call each a round, so that both see the same load, and the
// benchmark reports the median of the rounds' ratios (several rounds, one run).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

// The median of a sample (0 for none).
inline double medianOf(std::vector<double> values) {
    if (values.empty()) return 0;
    auto mid = values.begin() + long(values.size() / 2);
    std::nth_element(values.begin(), mid, values.end());
    return *mid;
}

// The median over the rounds of (time of measured) / (time of reference).
template <class Measured, class Reference>
double medianTimeRatio(benchmark::State& state, Measured measured, Reference reference) {
    using Clock = std::chrono::steady_clock;
    std::vector<double> ratios;
    for (auto _ : state) {
        auto t0 = Clock::now();
        measured();
        auto t1 = Clock::now();
        reference();
        auto t2 = Clock::now();
        ratios.push_back(std::chrono::duration<double>(t1 - t0).count() /
                         std::max(1e-12, std::chrono::duration<double>(t2 - t1).count()));
    }
    return medianOf(std::move(ratios));
}
