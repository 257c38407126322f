#pragma once

#include "authoring/import/dataset.h"

// Turning numeric characters into states a key can ask about. One rule holds for every
// numeric question: its states part the line without overlap, each state holding its lower
// bound and not its upper one ([A, B)) except the last, which holds all from A up. A bound
// shared by two states thus belongs to the state that starts at it, and the labels say so
// ("less than 5 mm", "5 to less than 10 mm", "10 mm or more"). Where every value is a whole
// number the same states are named by the whole numbers they hold ("up to 4", "5 to 9").
namespace authoring::numericstates {

// A few ranges with round bounds chosen from the taxa's usual values so that each holds
// about as many taxa; empty when the values do not spread enough to part anything.
QList<KeyState> chosenRanges(const QList<NumericRange>& values, bool integer, int wanted = 4);

// A dataset's own key states ("~3/3-6/6~"), closed at both ends as written, made to part
// the line by the rule above: a bound two neighbours share goes to the upper one, unless
// the lower holds that one value only ("3/3-6": the second then starts above 3). A gap
// between two key states ("~2/5-10") is shared at its middle, and the first and last reach
// the lowest and highest of the taxa's `values`, so that every value a taxon has lies in a
// state whose label says so. Key states out of order or overlapping are left as written.
void partBounds(QList<KeyState>& keys, const QList<NumericRange>& values);

// The label of a numeric state with its unit, saying exactly which values it holds;
// `whole`: every value is a whole number, so states are named by the numbers they hold.
QString label(const NumericBounds& k, const QString& unit, bool whole = false);

// Whether a taxon's value reaches into a state: its usual range widened by its extremes.
bool overlaps(const NumericRange& r, const NumericBounds& k);

// Whether every value, usual or extreme, and every finite bound of `keys` is whole.
bool wholeNumbers(const QList<NumericRange>& values, const QList<KeyState>& keys);

// A number as a person writes it: 2.5, 1000, 0.03.
QString text(double v);

// A taxon's value as a description gives it: "5", "3–8", "(2–)3–8(–12)"; `dash` between.
QString text(const NumericRange& r, const QString& dash);

}  // namespace authoring::numericstates
