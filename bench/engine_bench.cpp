#include "synthetickey.h"

#include "engine/engine.h"
#include "platform/dialogs.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <random>

namespace {

constexpr int Species = 10000, States = 5000, Questions = 1500, Chain = 5;

const SyntheticKey& key() {
    static const auto k = std::make_unique<SyntheticKey>(Species, States, Questions, Chain, 42);
    return *k;
}

class SilentDialogs : public platform::Dialogs {
public:
    Answer ask(const Message&) override { return Answer::No; }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString folderName(const QString&, const QString&) override { return {}; }
};

using Clock = std::chrono::steady_clock;

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Times each iteration of `work`, and every `passEvery` iterations one streaming pass over the
// matrix, so that both run under the same load; reports the mean of the work against the mean
// pass.
template <typename Work>
void measure(benchmark::State& state, int passEvery, Work&& work) {
    double total = 0, passes = 0;
    int passCount = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        work();
        total += seconds(Clock::now() - t0);
        if (passCount * passEvery <= int(state.iterations())) {
            t0 = Clock::now();
            benchmark::DoNotOptimize(key().streamingPass());
            passes += seconds(Clock::now() - t0);
            ++passCount;
        }
    }
    const double pass = passes / passCount;
    state.counters["pass_ms"] = pass * 1e3;
    state.counters["vs_pass"] = total / double(state.iterations()) / pass;
}

engine::Engine makeEngine(SilentDialogs& dialogs) {
    return engine::Engine(key().model, key().tables, dialogs,
                          [](int) { return std::optional<QString>(QStringLiteral("species at")); });
}

void RefreshAfter50Answers(benchmark::State& state) {
    SilentDialogs dialogs;
    engine::Engine engine = makeEngine(dialogs);
    std::mt19937 rng(7);
    for (int a = 0; a < 50; ++a) {
        const auto& o = key().tables.objects[size_t(rng() % Questions)];
        engine.state().StateChoice[size_t(o.firstState + int(rng() % o.stateCount))] = 1;
    }
    measure(state, 50, [&] { engine.Actualise_Identification(); });
    state.counters["listed"] = engine.listedCount();
}
BENCHMARK(RefreshAfter50Answers)->Unit(benchmark::kMillisecond);

void SearchAllTied(benchmark::State& state) {
    SilentDialogs dialogs;
    engine::Engine engine = makeEngine(dialogs);
    engine.Actualise_Identification();
    measure(state, 1, [&] { benchmark::DoNotOptimize(engine.Cherche_Discriminant()); });
    state.counters["top"] = engine.state().TopSpeciesCount;
}
BENCHMARK(SearchAllTied)->Unit(benchmark::kMillisecond);

// Changing the answer of the first question of a chain clears the four levels below it.
void ValidateFourLevelsDeep(benchmark::State& state) {
    SilentDialogs dialogs;
    engine::Engine engine = makeEngine(dialogs);
    const auto& chain = key().tables.objects;
    int flip = 0;
    measure(state, 20000, [&] {
        auto& choice = engine.state().StateChoice;
        for (int r = 0; r < Chain; ++r) choice[size_t(chain[size_t(r)].firstState)] = 1;
        engine.openQuestion(chain[0].key);
        engine.question().SelectedChoice = 1 + (flip++ % 2);
        engine.Valid_Descripteur();
    });
    if (engine.state().StateChoice[size_t(chain[size_t(Chain - 1)].firstState)] != 0)
        state.SkipWithError("the last level was not cleared");
}
BENCHMARK(ValidateFourLevelsDeep)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
