#pragma once

#include "engine/identificationstate.h"
#include "engine/keytables.h"

#include <vector>

namespace engine {

// Writes the ticked states of the open question (cells among its states, any order) into the
// description, as confirming a list of states does: the dependants of every state that is no
// longer chosen are cleared, the ticked states are chosen and the others not, and the frame
// is answered while one state is ticked. Cells outside the question are passed over; ticking
// exactly what is chosen already changes nothing.
void Valid_Etats(const KeyTables& tables, IdentificationState& state,
                 const std::vector<int>& cells);

// The cells of the open question whose states the description holds, in increasing order.
std::vector<int> chosenCells(const IdentificationState& state);

}  // namespace engine
