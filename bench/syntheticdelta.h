#pragma once

#include <QString>

// Writes a DELTA dataset of the given size into a folder: a third of the characters numeric
// (half with KEY STATES), one in ten text, one in twenty with 60 states (too many to ask),
// the rest multistate with 2 to 12 states; each item codes about four characters in five,
// with alternatives, ranges, pseudo-values and comments mixed in. Seeded, so every run
// writes the same files.
void writeSyntheticDelta(const QString& folder, int items, int characters, unsigned seed);
