#pragma once

#include <QString>

// SDD files as published keys write them, each with the shapes a faithful import must keep.
namespace testing_support {

// "flora.sdd.xml" in `folder`: a dataset declared in English whose labels also come in Dutch
// (Dutch first), a title beside its abbreviation, labels that hold angle brackets as words
// (`Achenes &lt;length&gt;`) and HTML typesetting, characters whose labels repeat (told apart
// by their group, unit or longer description, and two alike in everything), a character of
// 40 states and one of 200, media on the web for a taxon, a character and a state (and one
// on ftp), and two character trees: the first gives the order, the second the groups and a
// rule. Eight taxa; "Hieracium nudum" codes only a text character.
void writeSddFlora(const QString& folder);

// "many.sdd.xml" in `folder`: `characters` two-state characters and six taxa, each coding
// one state of every character (the first taxon both), so that every taxon can be described
// whole.
void writeSddMany(const QString& folder, int characters);

}  // namespace testing_support
