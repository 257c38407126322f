#include "synthetickey.h"

#include <algorithm>
#include <map>
#include <memory>
#include <random>

SyntheticKey::SyntheticKey(int species, int states, int questions, int chainLength,
                           std::uint32_t seed) {
    std::mt19937 rng(seed);
    model.SpeciesCount = std::int16_t(species);
    model.StateCount = std::int16_t(states);
    model.FrameCount = std::int16_t(questions);
    // Names in no alphabetical order, as in real keys.
    std::vector<int> number(static_cast<size_t>(species));
    for (int i = 0; i < species; ++i) number[size_t(i)] = i;
    std::shuffle(number.begin(), number.end(), rng);
    for (int i = 0; i < species; ++i)
        model.SpeciesName.push_back(QStringLiteral("Species %1").arg(number[size_t(i)]));
    model.StateWeight.resize(size_t(states));
    for (auto& w : model.StateWeight) w = std::int16_t(1 + rng() % 3);
    model.Matrix.assign(size_t(species) * size_t(states), 0);
    platform::i16* matrix = model.Matrix.writable();
    int first = 0;
    for (int r = 0; r < questions; ++r) {
        // States spread as evenly as they go: some questions get one more.
        const int count = states / questions + (r < states % questions ? 1 : 0);
        engine::ObjectRow o;
        o.key = QStringLiteral("Q%1").arg(r, 5, 10, QLatin1Char('0'));
        o.firstState = first;
        o.stateCount = count;
        o.descriptor = r;
        o.frame = r;
        o.joker = true;
        tables.objects.push_back(o);
        for (int s = 0; s < species; ++s)
            matrix[size_t(s) + size_t(species) * size_t(first + int(rng() % count))] = 1;
        if (chainLength > 1 && r % chainLength != 0) {
            const engine::ObjectRow& parent = tables.objects[size_t(r - 1)];
            for (int p = parent.firstState; p < parent.firstState + parent.stateCount; ++p)
                tables.dependencies.push_back({QStringLiteral("S%1").arg(p), o.key});
        }
        first += count;
    }
    for (int j = 0; j < states; ++j) tables.addCharacter(QStringLiteral("S%1").arg(j), j);
    tables.index();
    model.ObjectCount = questions;
    model.JokerFlag.assign(size_t(questions), true);
}

std::int64_t SyntheticKey::streamingPass() const {
    std::int64_t total = 0;
    const std::int16_t* m = model.Matrix.data();
    const size_t n = model.Matrix.size();
    constexpr size_t Block = 32768;
    for (size_t start = 0; start < n; start += Block) {
        const size_t end = std::min(n, start + Block);
        std::int32_t sum = 0;
        for (size_t i = start; i < end; ++i) sum += m[i];
        total += sum;
    }
    return total;
}

const SyntheticKey& SyntheticKey::shared(int species) {
    static std::map<int, std::unique_ptr<SyntheticKey>> keys;
    auto& k = keys[species];
    if (!k) k = std::make_unique<SyntheticKey>(species, States, Questions, Chain, 42);
    return *k;
}

engine::Engine SyntheticKey::makeEngine(platform::Dialogs& dialogs) const {
    return engine::Engine(model, tables, dialogs,
                          [](int) { return std::optional<QString>(QStringLiteral("species at")); });
}

void SyntheticKey::answerRandomly(engine::Engine& engine, int answers) const {
    std::mt19937 rng(7);
    for (int a = 0; a < answers; ++a) {
        const auto& o = tables.objects[size_t(rng() % std::uint32_t(tables.objects.size()))];
        engine.state()
            .StateChoice[size_t(o.firstState + int(rng() % std::uint32_t(o.stateCount)))] = 1;
    }
}
