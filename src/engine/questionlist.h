#pragma once

#include "engine/identificationstate.h"
#include "engine/keytables.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace engine {

// One question as the questions panel lists it.
struct QuestionEntry {
    int object = -1;          // index in KeyTables::objects
    QString key;              // "Objet"
    QString text;             // "TipText" of the question
    QStringList stateTexts;   // every state's text, in state order
    QStringList chosenTexts;  // the texts of the chosen states
    bool answered = false;
    // A measured question answered in an opened file that did not keep the value typed.
    bool valueNotKept = false;
    // False while the question depends on states of which none is chosen: it cannot be
    // asked yet.
    bool askable = true;
    // The states whose choice makes the question askable; `dependent` when "Descendance"
    // names any parent for it, known state or not.
    std::vector<int> parentStates;
    bool dependent = false;
    // Question and state texts, folded for the filter; made by the first filtering.
    mutable QString searchText;
};

// A heading of the panel and its questions; `group` is empty for a base without groups and
// for the questions that "Groupes" leaves out.
struct QuestionSection {
    QString group;
    std::vector<QuestionEntry> entries;
};

// Every question of the base with its answer, in the author's order: by "Ordre" of
// "Groupes" under the group headings when the base groups its questions, otherwise (and for
// the questions it leaves out) by "Desc_Num". Widget-free, so the panel only shows it.
// A `previous` list made from the same tables gives the order, the texts and the parents:
// only the answers and what can be asked are made again.
std::vector<QuestionSection> questionSections(const KeyTables& tables,
                                              const IdentificationState& state,
                                              const std::vector<QuestionSection>& previous = {});

// After an answer: the answers of `sections` and what can be asked follow the description
// again, in place, and `changed` is told of each entry whose answer or being askable changed
// (with whether its answer did). False, with `sections` untouched, when `sections` does not
// list the questions of these tables as questionSections() made them.
bool followAnswers(
    const KeyTables& tables, const IdentificationState& state,
    std::vector<QuestionSection>& sections,
    const std::function<void(const QuestionEntry& entry, bool answerChanged)>& changed = {});

// Lower case without accents or other marks, so that "elytre" finds "Élytre".
QString searchFolded(const QString& text);
// True when every word of the filter occurs in the entry's question or state texts.
bool matchesFilter(const QuestionEntry& entry, const QString& filter);

}  // namespace engine
