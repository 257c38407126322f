#pragma once

#include "engine/identificationstate.h"

#include <QString>
#include <vector>

namespace kb {
struct UncodedRecord;
}

namespace engine {

class KeyTables;

// The record of uncoded cells, by question: the species that leave each question of
// "Objets_Fic" (key order) uncoded, in increasing species index. `present` is false for a
// base without the record, which then ranks exactly as it always did.
struct UncodedAnswers {
    bool present = false;
    std::vector<std::vector<int>> speciesByObject;

    // Species are found by name among the first `speciesNames` (case-insensitively; every
    // species of that name), questions by key; rows naming neither are passed over.
    static UncodedAnswers resolve(const kb::UncodedRecord& record,
                                  const std::vector<QString>& speciesNames,
                                  const KeyTables& tables);
};

// For every species, how many of the answered questions it leaves uncoded; `answered` gets
// the number of questions with a chosen state.
std::vector<int> unknownAnswers(const UncodedAnswers& uncoded, const KeyTables& tables,
                                const IdentificationState& state, int* answered = nullptr);

// Among ranks of equal percentage, the species that code more of the answered questions
// come first; within that, the order of the ranking (score, then species index) is kept.
// Fills RankUnknown by rank. Without the record RankUnknown is emptied and nothing moves.
void orderByUncoded(const UncodedAnswers& uncoded, const KeyTables& tables,
                    IdentificationState& state);

// Of the listed ranks at the best percentage, those whose every answered question is coded.
int describedAtTop(const IdentificationState& state);

// " (5 unknown)" after a line whose percentage rests on unknowns; empty otherwise.
QString unknownMark(const IdentificationState& state, int rank, const QString& unknownWord);

// The legend with how many of the best species are fully described for the answers given:
// " 3 species at 100 % (1 fully described)"; the plain legend without the record or answers.
QString legendWithDescribed(const QString& legend, const IdentificationState& state,
                            const QString& describedWord);

}  // namespace engine
