#pragma once

#include "engine/keytables.h"
#include "kb/model.h"

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
};
