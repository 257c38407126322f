#pragma once

#include "kb/measures.h"

#include <QString>
#include <optional>

// How a source writes the range of a state of a measured question: an interval in the
// usual notation, a square bracket for a bound the state holds, a round one for a bound it
// does not, and nothing for an open end: "[5,10)", "(,5)", "[70,)". Numbers take a point.
namespace authoring::measuresyntax {

std::optional<kb::MeasureRange> parseRange(const QString& text);
QString rangeText(const kb::MeasureRange& range);

}  // namespace authoring::measuresyntax
