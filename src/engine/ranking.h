#pragma once

#include "engine/identificationstate.h"

#include <QString>
#include <cstdint>

namespace kb {
class Model;
}

namespace engine {

// Scores of every species: the sum over the chosen states of weight x matrix value x choice.
// Only states with a non-zero choice can add, so the work follows the answers given.
void Calcule_Scores(const kb::Model& model, IdentificationState& state);

// Ranks by decreasing score; equal scores keep increasing species index.
void Trie_Scores(IdentificationState& state);

// The score of a species showing every chosen state: the sum of weight x choice.
std::int64_t totalWeight(const kb::Model& model, const IdentificationState& state);

// Percentages of that total, rounded halves to even; all 0 when nothing is chosen.
void Calcule_Pourcentages(const kb::Model& model, IdentificationState& state);

// Nearest integer to score x 100 / total, halves to the even neighbour, computed exactly and
// saturated to 64 bits; total != 0.
std::int64_t percentOf(std::int64_t score, std::int64_t total);

// Lists the ranks whose percentage reaches the threshold, and counts those at the best one.
void listSpecies(IdentificationState& state, int threshold, int* topCount);

// A line of the species list: " 87% - Name" (a minus takes the place of the space).
QString speciesLine(const kb::Model& model, const IdentificationState& state, int rank);

// " 3 species at 87 %", with the text of "species at" given.
QString legendText(int topCount, std::int64_t topPercent, const QString& speciesAt);

}  // namespace engine
