#pragma once

#include "engine/engine.h"
#include "engine/keytables.h"
#include "kb/model.h"
#include "platform/silentdialogs.h"

#include <cstdint>

// A large key made in memory: every species shows one state of each question, weights 1 to 3.
// Questions come in chains of `chainLength`: each one depends on every state of the one
// before it. Same seed, same key.
class SyntheticKey {
public:
    SyntheticKey(int species, int states, int questions, int chainLength, std::uint32_t seed);

    kb::Model model;
    engine::KeyTables tables;

    // The memory-bandwidth floor: one streaming pass over the whole matrix.
    std::int64_t streamingPass() const;

    // The key of the benchmarks: 5,000 states in 1,500 questions, chains of five, made once
    // per number of species.
    static const SyntheticKey& shared(int species);

    // An engine on this key, and `answers` answers drawn at random (the same every run).
    engine::Engine makeEngine(platform::Dialogs& dialogs) const;
    void answerRandomly(engine::Engine& engine, int answers) const;
    static constexpr int States = 5000, Questions = 1500, Chain = 5;
};

// The benchmarks answer every question No and choose nothing.
using platform::SilentDialogs;
