#pragma once

#include <QString>

// Small datasets whose species documents must read as a flora: values in words with their
// units, the dataset's notes, and none of the codes and annotations other programs leave in
// their texts.
namespace testing_support {

// A DELTA folder of five willows: codes and annotations in comments ("<<Hb1~>>",
// "<<none>>") on characters, states, names and values; two real and one integer numeric
// characters with units and extremes; ITEM SUBHEADINGS over three characters; CHARACTER
// NOTES; a text character; and "Salix sp.", which codes nothing.
void writeDeltaWillows(const QString& folder);

// An SDD file "sedges.sdd.xml" in `folder`: three sedges, two quantitative characters with
// units (one described by a Detail), a categorical one, and a taxon with no description.
void writeSddSedges(const QString& folder);

}  // namespace testing_support
