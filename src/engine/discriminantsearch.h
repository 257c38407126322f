#pragma once

#include "engine/identificationstate.h"
#include "engine/keytables.h"
#include "engine/stateplanes.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace kb {
class Model;
}

namespace engine {

// Scores every question by the normalised entropy of the split of the top species over its
// states. The counts of a state are taken once per search, so each state column of the matrix
// is read at most once whatever the questions share. With `planes`, a large top is counted
// over the packed columns, which are packed by the first such count and kept for the next
// searches; the counts are the same either way.
class DiscriminantSearch {
public:
    DiscriminantSearch(const kb::Model& model, const KeyTables& tables,
                       const IdentificationState& state, StatePlanes* planes = nullptr);

    // One score per "Objets_Fic" row in key order, and one unused entry after them. A question
    // that may not be proposed, is answered, or has a single state scores 0.
    std::vector<double> scores(int topCount);

    // The sum of the matrix values of the top species for one state.
    std::int64_t stateCount(int state, int topCount);

    // The row with the best score, the first of equal ones; -1 when every score is 0.
    static int bestRow(const std::vector<double>& scores);

private:
    double score(const ObjectRow& object, int topCount);
    bool proposable(const ObjectRow& object) const;
    void prepareTop(int topCount);
    std::optional<std::int64_t> countPacked(int state, int top);

    const kb::Model& model_;
    const KeyTables& tables_;
    const IdentificationState& state_;
    StatePlanes* planes_;
    std::vector<std::int64_t> counts_;
    std::vector<bool> counted_;
    std::vector<std::int16_t> topMask_;  // 1 for the species at the top ranks
    // The same species in increasing index, so that a gather walks each column forward, and
    // the first of them in each 64-byte line of a column.
    std::vector<int> topSpecies_;
    std::vector<int> topLines_;
    // The top as bits, when no species is listed twice in it (as a ranking never does).
    std::vector<StatePlanes::Word> topBits_;
    bool topIsSet_ = false;
    int maskTop_ = -1;
};

}  // namespace engine
