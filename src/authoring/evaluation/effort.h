#pragma once

#include <map>
#include <vector>

namespace kb {
class Model;
}
namespace engine {
class KeyTables;
}

namespace authoring {

class KeyMatrix;

// How many answers the program's Search needs to bring each species alone to the top, when
// the user answers every proposed question truly with the first state the species shows
// (the first cell of its picture of choices that holds it), and skips a proposed question
// for which the species shows no state. The program's own engine proposes, validates and
// ranks; nothing of it is copied here.
struct EffortReport {
    std::vector<int> species;         // the species simulated, in index order
    std::vector<int> answers;         // for each: the answers given; -1 when never alone at the top
    std::map<int, int> distribution;  // answers -> species reaching the top after as many
    int reached = 0;
    double mean = 0;  // over the species reached
    int worst = -1;   // a species needing the most answers (the first of them)
    int worstAnswers = 0;
    bool sampled = false;  // only every step-th species was simulated
    int step = 1;
};

struct EffortLimits {
    // Above this many species, every step-th species is simulated (species 0, step,
    // 2 x step, ...), step = ceil(species / limit), so the work stays bounded.
    int species = 2000;
};

// Species that give the same answers share the engine's state, so the simulation walks the
// answers as a tree: each proposal is computed once for all the species that reach it.
EffortReport simulateEffort(const kb::Model& model, const engine::KeyTables& tables,
                            const KeyMatrix& matrix, EffortLimits limits = {});

}  // namespace authoring
