#pragma once

#include "engine/identificationstate.h"
#include "engine/keytables.h"

namespace engine {

// Writes the highlighted choice of the open question into the description: the dependants of
// the last state chosen before are cleared first, and the question's frame follows.
void Valid_Descripteur(const KeyTables& tables, IdentificationState& state);

// Clears every state of every object that depends on `state`, and their dependants in turn.
// Each state is followed once, so a cycle in the dependencies ends; an object key or a state
// that the tables do not hold is passed over.
void Nettoie_Descendance(const KeyTables& tables, IdentificationState& state, int stateNumber);

}  // namespace engine
