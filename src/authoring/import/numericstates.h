#pragma once

#include "authoring/import/dataset.h"

// Turning numeric characters into states a key can ask about.
namespace authoring::numericstates {

// A few ranges with round bounds chosen from the taxa's values so that each holds about as
// many taxa; empty when the values do not spread enough to part anything.
QList<KeyState> chosenRanges(const QList<NumericRange>& values, bool integer, int wanted = 4);

// The label of a key state, with the unit: "less than 5 mm", "5 to 10 mm", "10 mm or more".
QString label(const KeyState& k, const QString& unit);

// Whether a taxon's range reaches into a key state.
bool overlaps(const NumericRange& r, const KeyState& k);

// A number as a person writes it: 2.5, 1000, 0.03.
QString text(double v);

}  // namespace authoring::numericstates
