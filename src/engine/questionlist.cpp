#include "engine/questionlist.h"

#include <QHash>
#include <algorithm>
#include <tuple>

namespace engine {

namespace {

bool chosen(const IdentificationState& state, int s) {
    return s >= 0 && size_t(s) < state.StateChoice.size() && state.StateChoice[size_t(s)] != 0;
}

// The question and the texts of its states; its answer comes after.
QuestionEntry entryOf(const KeyTables& tables, int object) {
    const ObjectRow& o = tables.objects[size_t(object)];
    QuestionEntry e;
    e.object = object;
    e.key = o.key;
    e.text = o.tipText.isEmpty() ? o.key : o.tipText;
    for (int s = o.firstState; s < o.firstState + o.stateCount; ++s)
        e.stateTexts << tables.stateTexts.value(s);
    return e;
}

// The parent state codes of each question, from "Descendance".
QHash<QString, QStringList> parentsByObject(const KeyTables& tables) {
    QHash<QString, QStringList> parents;
    for (const DependencyRow& d : tables.dependencies)
        parents[KeyTables::fold(d.objectKey)] << d.parentCode;
    return parents;
}

void findParents(const KeyTables& tables, const QStringList& parents, QuestionEntry& e) {
    e.dependent = !parents.isEmpty();
    for (const QString& code : parents)
        if (const auto s = tables.stateOfCode(code)) e.parentStates.push_back(*s);
}

// The answer of an entry and whether it can be asked, from the description.
void followAnswers(const KeyTables& tables, const IdentificationState& state, QuestionEntry& e) {
    const ObjectRow& o = tables.objects[size_t(e.object)];
    e.chosenTexts.clear();
    e.answered = false;
    for (int l = 0; l < o.stateCount && l < e.stateTexts.size(); ++l) {
        if (!chosen(state, o.firstState + l)) continue;
        e.answered = true;
        e.chosenTexts << e.stateTexts[l];
    }
    const auto typed = state.typedAnswers.constFind(KeyTables::fold(e.key));
    if (typed != state.typedAnswers.constEnd() && e.chosenTexts.size() == 1 &&
        chosen(state, typed->state) && typed->state >= o.firstState &&
        typed->state < o.firstState + o.stateCount)
        e.chosenTexts = QStringList{typed->text};
    e.valueNotKept = e.answered && typed == state.typedAnswers.constEnd() &&
                     state.measuresNotKept.contains(KeyTables::fold(e.key));
    e.askable = !e.dependent || std::any_of(e.parentStates.begin(), e.parentStates.end(),
                                            [&](int s) { return chosen(state, s); });
}

// True when `previous` lists every question of these tables once, as made from them.
bool listsEveryQuestion(const KeyTables& tables, const std::vector<QuestionSection>& previous) {
    std::vector<bool> seen(tables.objects.size(), false);
    size_t count = 0;
    for (const QuestionSection& section : previous) {
        for (const QuestionEntry& e : section.entries) {
            if (e.object < 0 || size_t(e.object) >= seen.size() || seen[size_t(e.object)] ||
                tables.objects[size_t(e.object)].key != e.key ||
                e.stateTexts.size() != tables.objects[size_t(e.object)].stateCount)
                return false;
            seen[size_t(e.object)] = true;
            ++count;
        }
    }
    return count == seen.size() && count > 0;
}

// Every entry of a list that lists every question, told to `changed` when its answer or its
// being askable changed.
void followEveryAnswer(const KeyTables& tables, const IdentificationState& state,
                       std::vector<QuestionSection>& sections,
                       const std::function<void(const QuestionEntry&, bool)>& changed) {
    for (QuestionSection& section : sections) {
        for (QuestionEntry& e : section.entries) {
            const bool wasAskable = e.askable, wasNotKept = e.valueNotKept;
            QStringList before = std::move(e.chosenTexts);
            followAnswers(tables, state, e);
            const bool answerChanged = e.chosenTexts != before || e.valueNotKept != wasNotKept;
            if (changed && (answerChanged || e.askable != wasAskable)) changed(e, answerChanged);
        }
    }
}

}  // namespace

std::vector<QuestionSection> questionSections(const KeyTables& tables,
                                              const IdentificationState& state,
                                              const std::vector<QuestionSection>& previous) {
    if (listsEveryQuestion(tables, previous)) {
        // The tables never change: the order, the texts and the parents are those of before.
        std::vector<QuestionSection> sections = previous;
        followEveryAnswer(tables, state, sections, {});
        return sections;
    }
    const QHash<QString, QStringList> parents = parentsByObject(tables);
    // Grouped questions first by "Ordre", then the others; "Desc_Num" breaks ties.
    const size_t n = tables.objects.size();
    std::vector<std::tuple<bool, int, int>> ranks(n);
    std::vector<QString> groups(n);
    for (size_t i = 0; i < n; ++i) {
        const ObjectRow& o = tables.objects[i];
        const auto g = tables.groups.constFind(KeyTables::fold(o.key));
        const bool ungrouped = g == tables.groups.cend();
        ranks[i] = std::tuple(ungrouped, ungrouped ? 0 : g->order, o.descriptor);
        if (!ungrouped) groups[i] = g->group;
    }
    std::vector<int> order(n);
    for (size_t i = 0; i < n; ++i) order[i] = int(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return ranks[size_t(a)] < ranks[size_t(b)]; });

    std::vector<QuestionSection> sections;
    QHash<QString, size_t> sectionOf;  // by group name; "" for the ungrouped
    for (int object : order) {
        QuestionEntry e = entryOf(tables, object);
        findParents(tables, parents.value(KeyTables::fold(e.key)), e);
        followAnswers(tables, state, e);
        const QString& group = groups[size_t(object)];
        auto at = sectionOf.constFind(group);
        if (at == sectionOf.cend()) {
            at = sectionOf.insert(group, sections.size());
            sections.push_back(QuestionSection{group, {}});
        }
        sections[*at].entries.push_back(std::move(e));
    }
    return sections;
}

bool followAnswers(const KeyTables& tables, const IdentificationState& state,
                   std::vector<QuestionSection>& sections,
                   const std::function<void(const QuestionEntry&, bool)>& changed) {
    if (!listsEveryQuestion(tables, sections)) return false;
    followEveryAnswer(tables, state, sections, changed);
    return true;
}

QString searchFolded(const QString& text) {
    // Plain ASCII has nothing to decompose and folds to lower case: the common case, done
    // without the normalisation, which costs far more.
    if (std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; }))
        return text.toLower();
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString out;
    out.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        const auto category = c.category();
        if (category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
            category == QChar::Mark_Enclosing)
            continue;
        out += c;
    }
    // Letters that no decomposition splits but that users type as two: "oeil" finds "Œil".
    return out.toCaseFolded()
        .replace(QChar(0x00DF), QLatin1String("ss"))
        .replace(QChar(0x0153), QLatin1String("oe"))
        .replace(QChar(0x00E6), QLatin1String("ae"));
}

bool matchesFilter(const QuestionEntry& entry, const QString& filter) {
    const QStringList words = searchFolded(filter).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (entry.searchText.isEmpty() && !words.isEmpty())
        entry.searchText =
            searchFolded((QStringList{entry.text} + entry.stateTexts).join(QLatin1Char(' ')));
    return std::all_of(words.begin(), words.end(),
                       [&](const QString& w) { return entry.searchText.contains(w); });
}

}  // namespace engine
