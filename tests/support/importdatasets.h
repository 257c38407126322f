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

void writeFile(const QString& path, const QByteArray& bytes);

}  // namespace testing_support
