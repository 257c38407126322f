#pragma once

#include <benchmark/benchmark.h>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

// Every benchmark here is measured against the memory-bandwidth floor: one streaming pass over
// the matrix of the same key, timed in the same run, interleaved with the work so that both
// see the same machine. Each iteration times one pass, then `repeats` runs of the work; the
// figures kept are the minimum pass and the minimum mean of a batch of work, both taken over
// the same iterations (set at least five with ->Iterations()).
//
// Counters: pass_ms (the baseline), work_ms, vs_pass (work / pass), passes (samples).
class PassBaseline {
public:
    using Clock = std::chrono::steady_clock;

    static double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

    template <typename Pass, typename Work>
    static void measure(benchmark::State& state, int repeats, Pass&& pass, Work&& work) {
        std::vector<double> passes, works;
        for (auto _ : state) {
            auto t0 = Clock::now();
            benchmark::DoNotOptimize(pass());
            passes.push_back(seconds(Clock::now() - t0));
            t0 = Clock::now();
            for (int r = 0; r < repeats; ++r) work();
            const double batch = seconds(Clock::now() - t0) / repeats;
            works.push_back(batch);
            state.SetIterationTime(batch);
        }
        if (passes.size() < 5) {
            state.SkipWithError("fewer than five passes: give ->Iterations(5) or more");
            return;
        }
        const double baseline = *std::min_element(passes.begin(), passes.end());
        const double best = *std::min_element(works.begin(), works.end());
        state.counters["pass_ms"] = baseline * 1e3;
        state.counters["work_ms"] = best * 1e3;
        state.counters["vs_pass"] = best / baseline;
        state.counters["passes"] = double(passes.size());
    }
};
