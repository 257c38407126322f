#pragma once

#include "engine/identificationstate.h"
#include "engine/keytables.h"

#include <QString>
#include <vector>

namespace kb {
class Model;
}

namespace engine {

// An answer of the description that a species does not share.
struct ContradictedAnswer {
    int object = 0;  // row of "Objets_Fic" in key order
    int state = 0;
};

// The variant suffix of drawing 0 for the description: the last six characters of the name
// of the first "Hierarchie" row of drawing 0 whose conditions hold; empty when none holds or
// when a condition names a state that "Caracteres" does not hold.
QString Suffixe_Variante(const KeyTables& tables, const std::vector<i16>& choice);

// Every chosen state, object by object in key order, that the species does not show. A species
// outside the matrix contradicts nothing.
std::vector<ContradictedAnswer> contradictedAnswers(const kb::Model& model, const KeyTables& tables,
                                                    const IdentificationState& state, int species);

}  // namespace engine
