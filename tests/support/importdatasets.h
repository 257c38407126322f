#pragma once

#include <QByteArray>
#include <QString>

// Small datasets in the two exchange formats, written for real into a folder, whose every
// figure can be followed by hand. Each exercises the rules an importer must keep.
namespace testing_support {

// A DELTA folder (specs, chars, items, tokey; items in Windows-1252) with nine characters
// and five items: woody/herbaceous culms (reliability 10, controls character 3), culm
// height in cm (numeric, no key states), bark colour (dependent, reliability 5), a host
// with 40 states, a text character, leaf count (integer, KEY STATES ~3/3-6/6~), leaf size
// (ordered), hairs (implicit value 1) and flowering season; headings "Culms" (1-6) and
// "Leaves" (7-9). Two items share the name "Poa alpina".
void writeDeltaGrasses(const QString& folder);

// An SDD file "violets.sdd.xml" in `folder` with pictures under images/: three taxa and a
// fourth description without a Scope, ids q and Q, a character tree with two groups and
// dependency rules on a character node and on a node.
void writeSddViolets(const QString& folder);

// A DELTA folder written the way old datasets often are: CRLF line ends, tabs and runs of
// spaces, directive names in lower case, Windows-1252 text, RTF marks in every text, nested
// comments, no CHARACTER TYPES for multistate characters, no NUMBERS OF STATES, no headings
// but KEYWORD CHARACTERS, a character of 1500 states and one of 300, multistate KEY STATES
// (1-2/3/4-5) and numeric ones with a gap (~2/5-10/20~), negative ranges and extremes.
// Twelve items; one is a bold higher group with a single attribute.
void writeDeltaOdd(const QString& folder);

// An SDD file "odd.sdd.xml" in `folder`, as some programs write them: a namespace prefix,
// declared ISO-8859-1, no TaxonNames and no Scope (descriptions name their taxa), CDATA and
// escaped HTML in labels, a character of 500 states, statuses, only observed extremes, and
// a character tree with no groups.
void writeSddOdd(const QString& folder);

// A DELTA folder of eight mountain plants written to the letter of the format's less common
// rules: "<" and ">" that open no comment ("few (<3) families", "x<y", "(>9)"), codes and
// annotations in inner comments ("<<Af7 se5~>>", "<(sexuality)>"), a state made only of a
// comment, CHARACTER HEADINGS in a file of their own ("cheads"), ITEM SUBHEADINGS, CHARACTER
// NOTES ("cnotes"), CHARACTER IMAGES whose first region is a label (h=-1); numeric values on
// the bounds of the states, real values that are not whole, extremes "(a-)b-c(-d)", lists
// "30&35&43&56" and KEY STATES that share their bounds (~2/2-5/5~) or leave gaps
// (~20/23-30/40~).
void writeDeltaMountain(const QString& folder);

// An SDD file "measures.sdd.xml" in `folder` whose quantitative summaries give extremes beside
// a usual range: UMethLower/UMethUpper with a Min, Mean and SD with a Max, Min..Max alone,
// a lone Mean that is not whole, ObsMin/ObsMax around a usual range.
void writeSddMeasures(const QString& folder);

void writeFile(const QString& path, const QByteArray& bytes);

}  // namespace testing_support
