// The identification engine on large synthetic keys (10,000 and 30,000 species, 5,000 states,
// 1,500 questions), each figure against one streaming pass over the same key's matrix.
#include "passbaseline.h"
#include "synthetickey.h"

#include "engine/engine.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <random>

namespace {

constexpr int Chain = SyntheticKey::Chain;

const SyntheticKey& key(int species) {
    return SyntheticKey::shared(species);
}

void RefreshAfter50Answers(benchmark::State& state) {
    const SyntheticKey& k = key(int(state.range(0)));
    SilentDialogs dialogs;
    engine::Engine engine = k.makeEngine(dialogs);
    k.answerRandomly(engine, 50);
    PassBaseline::measure(
        state, 10, [&] { return k.streamingPass(); }, [&] { engine.Actualise_Identification(); });
    state.counters["listed"] = engine.listedCount();
}
BENCHMARK(RefreshAfter50Answers)
    ->Arg(10000)
    ->Arg(30000)
    ->Iterations(15)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The search separates the species at the top of the ranking. Its cost depends on how many
// there are and where they lie in the matrix, not on their scores: the shapes tried are a
// top of `range(1)` species scattered over the whole key (as scores leave them), from two
// species to all of them, around the points where the counting changes method. With
// `range(2)` = 1 a search over all species (the first Search of a session) came before, so the
// state columns are already packed; with 0 the engine is fresh.
void SearchWorstCase(benchmark::State& state) {
    const int species = int(state.range(0));
    const SyntheticKey& k = key(species);
    SilentDialogs dialogs;
    engine::Engine engine = k.makeEngine(dialogs);
    engine.Actualise_Identification();
    if (state.range(2) == 1) {
        engine.state().TopSpeciesCount = species;
        benchmark::DoNotOptimize(engine.Cherche_Discriminant());
    }
    const int top = std::min<int>(species, int(state.range(1)));
    std::vector<int> order(static_cast<size_t>(species));
    for (int i = 0; i < species; ++i) order[size_t(i)] = i;
    std::shuffle(order.begin(), order.end(), std::mt19937(3));
    auto& ranking = engine.state().RankTable;
    for (int r = 0; r < species; ++r) {
        ranking.species[size_t(r)] = order[size_t(r)];
        ranking.score[size_t(r)] = r < top ? 100 : 100 - 1 - r / 64;
    }
    engine.state().TopSpeciesCount = top;
    PassBaseline::measure(
        state, 1, [&] { return k.streamingPass(); },
        [&] { benchmark::DoNotOptimize(engine.Cherche_Discriminant()); });
    state.counters["top"] = top;
}

void searchShapes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"species", "top", "packed"});
    for (int packed : {0, 1}) {
        for (int species : {10000, 30000}) {
            for (int top : {2, 64, species / 64, species / 32, species / 16, species / 8 - 1,
                            species / 8, species / 4, species / 2, species - 1, species})
                b->Args({species, top, packed});
        }
    }
}
BENCHMARK(SearchWorstCase)
    ->Apply(searchShapes)
    ->Iterations(7)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Changing the answer of the first question of a chain clears the four levels below it.
void ValidateFourLevelsDeep(benchmark::State& state) {
    const SyntheticKey& k = key(10000);
    SilentDialogs dialogs;
    engine::Engine engine = k.makeEngine(dialogs);
    const auto& chain = k.tables.objects;
    int flip = 0;
    PassBaseline::measure(
        state, 2000, [&] { return k.streamingPass(); },
        [&] {
            auto& choice = engine.state().StateChoice;
            for (int r = 0; r < Chain; ++r) choice[size_t(chain[size_t(r)].firstState)] = 1;
            engine.openQuestion(chain[0].key);
            engine.question().SelectedChoice = 1 + (flip++ % 2);
            engine.Valid_Descripteur();
        });
    if (engine.state().StateChoice[size_t(chain[size_t(Chain - 1)].firstState)] != 0)
        state.SkipWithError("the last level was not cleared");
}
BENCHMARK(ValidateFourLevelsDeep)->Iterations(10)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
