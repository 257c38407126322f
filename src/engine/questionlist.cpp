#include "engine/questionlist.h"

#include <QHash>
#include <algorithm>
#include <tuple>

namespace engine {

namespace {

bool chosen(const IdentificationState& state, int s) {
    return s >= 0 && size_t(s) < state.StateChoice.size() && state.StateChoice[size_t(s)] != 0;
}

QuestionEntry entryOf(const KeyTables& tables, const IdentificationState& state, int object,
                      const QuestionEntry* before) {
    const ObjectRow& o = tables.objects[size_t(object)];
    QuestionEntry e;
    e.object = object;
    e.key = o.key;
    e.text = o.tipText.isEmpty() ? o.key : o.tipText;
    if (before && before->object == object && before->stateTexts.size() == o.stateCount) {
        // The texts come from the tables, which never change: only the answer is new.
        e.stateTexts = before->stateTexts;
        e.searchText = before->searchText;
        for (int l = 0; l < o.stateCount; ++l) {
            if (!chosen(state, o.firstState + l)) continue;
            e.answered = true;
            e.chosenTexts << e.stateTexts[l];
        }
        return e;
    }
    QString haystack = e.text;
    for (int s = o.firstState; s < o.firstState + o.stateCount; ++s) {
        const QString text = tables.stateTexts.value(s);
        e.stateTexts << text;
        haystack += QLatin1Char(' ') + text;
        if (chosen(state, s)) {
            e.answered = true;
            e.chosenTexts << text;
        }
    }
    e.searchText = searchFolded(haystack);
    return e;
}

// The parent state codes of each question, from "Descendance".
QHash<QString, QStringList> parentsByObject(const KeyTables& tables) {
    QHash<QString, QStringList> parents;
    for (const DependencyRow& d : tables.dependencies)
        parents[KeyTables::fold(d.objectKey)] << d.parentCode;
    return parents;
}

bool askable(const KeyTables& tables, const IdentificationState& state,
             const QStringList& parents) {
    if (parents.isEmpty()) return true;
    return std::any_of(parents.begin(), parents.end(), [&](const QString& code) {
        const auto s = tables.stateOfCode(code);
        return s && chosen(state, *s);
    });
}

}  // namespace

std::vector<QuestionSection> questionSections(const KeyTables& tables,
                                              const IdentificationState& state,
                                              const std::vector<QuestionSection>& previous) {
    std::vector<const QuestionEntry*> before(tables.objects.size(), nullptr);
    for (const QuestionSection& section : previous)
        for (const QuestionEntry& e : section.entries)
            if (e.object >= 0 && size_t(e.object) < before.size()) before[size_t(e.object)] = &e;
    const QHash<QString, QStringList> parents = parentsByObject(tables);
    // Grouped questions first by "Ordre", then the others; "Desc_Num" breaks ties.
    std::vector<int> order(tables.objects.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = int(i);
    const auto rank = [&](int object) {
        const ObjectRow& o = tables.objects[size_t(object)];
        const auto g = tables.groups.constFind(KeyTables::fold(o.key));
        return std::tuple(g == tables.groups.cend(), g == tables.groups.cend() ? 0 : g->order,
                          o.descriptor);
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return rank(a) < rank(b); });

    std::vector<QuestionSection> sections;
    QHash<QString, size_t> sectionOf;  // by group name; "" for the ungrouped
    for (int object : order) {
        QuestionEntry e = entryOf(tables, state, object, before[size_t(object)]);
        e.askable = askable(tables, state, parents.value(KeyTables::fold(e.key)));
        const QString group = tables.groups.value(KeyTables::fold(e.key)).group;
        auto at = sectionOf.constFind(group);
        if (at == sectionOf.cend()) {
            at = sectionOf.insert(group, sections.size());
            sections.push_back(QuestionSection{group, {}});
        }
        sections[*at].entries.push_back(std::move(e));
    }
    return sections;
}

QString searchFolded(const QString& text) {
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
    return std::all_of(words.begin(), words.end(),
                       [&](const QString& w) { return entry.searchText.contains(w); });
}

}  // namespace engine
