#include "engine/uncodedanswers.h"

#include "engine/keytables.h"
#include "kb/uncodedrecord.h"

#include <QHash>
#include <algorithm>

namespace engine {

UncodedAnswers UncodedAnswers::resolve(const kb::UncodedRecord& record,
                                       const std::vector<QString>& speciesNames,
                                       const KeyTables& tables) {
    UncodedAnswers out;
    out.present = true;
    out.speciesByObject.resize(tables.objects.size());
    QHash<QString, std::vector<int>> byName;
    for (int i = 0; i < int(speciesNames.size()); ++i)
        byName[KeyTables::fold(speciesNames[size_t(i)])].push_back(i);
    for (const kb::UncodedRow& row : record.rows) {
        const auto object = tables.objectIndex(row.object);
        const auto species = byName.constFind(KeyTables::fold(row.species));
        if (!object || species == byName.cend()) continue;
        auto& list = out.speciesByObject[size_t(*object)];
        list.insert(list.end(), species->begin(), species->end());
    }
    // A row given twice counts once.
    for (auto& list : out.speciesByObject) {
        std::sort(list.begin(), list.end());
        list.erase(std::unique(list.begin(), list.end()), list.end());
    }
    return out;
}

std::vector<int> unknownAnswers(const UncodedAnswers& uncoded, const KeyTables& tables,
                                const IdentificationState& state, int* answered) {
    std::vector<int> unknown(state.SpeciesScore.size(), 0);
    const int states = int(state.StateChoice.size());
    int count = 0;
    for (size_t o = 0; o < tables.objects.size(); ++o) {
        const ObjectRow& object = tables.objects[o];
        bool chosen = false;
        const int end = std::min(object.firstState + object.stateCount, states);
        for (int s = std::max(object.firstState, 0); s < end && !chosen; ++s)
            chosen = state.StateChoice[size_t(s)] != 0;
        if (!chosen) continue;
        ++count;
        if (o >= uncoded.speciesByObject.size()) continue;
        for (int species : uncoded.speciesByObject[o])
            if (species < int(unknown.size())) ++unknown[size_t(species)];
    }
    if (answered) *answered = count;
    return unknown;
}

void orderByUncoded(const UncodedAnswers& uncoded, const KeyTables& tables,
                    IdentificationState& state) {
    state.RankUnknown.clear();
    state.AnsweredQuestions = 0;
    if (!uncoded.present) return;
    const std::vector<int> unknown =
        unknownAnswers(uncoded, tables, state, &state.AnsweredQuestions);
    auto& species = state.RankTable.species;
    auto& score = state.RankTable.score;
    const size_t n = std::min(species.size(), state.RankPercent.size());
    const auto unknownOf = [&](int s) {
        return s >= 0 && s < int(unknown.size()) ? unknown[size_t(s)] : 0;
    };
    std::vector<size_t> order;
    std::vector<int> speciesRun;
    std::vector<std::int64_t> scoreRun;
    for (size_t begin = 0; begin < n;) {
        size_t end = begin + 1;
        while (end < n && state.RankPercent[end] == state.RankPercent[begin]) ++end;
        order.resize(end - begin);
        for (size_t k = 0; k < order.size(); ++k) order[k] = begin + k;
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return unknownOf(species[a]) < unknownOf(species[b]);
        });
        speciesRun.clear();
        scoreRun.clear();
        for (size_t k : order) speciesRun.push_back(species[k]), scoreRun.push_back(score[k]);
        std::copy(speciesRun.begin(), speciesRun.end(), species.begin() + long(begin));
        std::copy(scoreRun.begin(), scoreRun.end(), score.begin() + long(begin));
        begin = end;
    }
    state.RankUnknown.resize(species.size());
    for (size_t k = 0; k < species.size(); ++k) state.RankUnknown[k] = unknownOf(species[k]);
}

int describedAtTop(const IdentificationState& state) {
    if (state.RankPercent.empty()) return 0;
    const std::int64_t top = state.RankPercent[0];
    int count = 0;
    for (int k : state.ListedRanks) {
        if (k < 0 || size_t(k) >= state.RankPercent.size() || state.RankPercent[size_t(k)] != top)
            continue;
        if (size_t(k) >= state.RankUnknown.size() || state.RankUnknown[size_t(k)] == 0) ++count;
    }
    return count;
}

QString unknownMark(const IdentificationState& state, int rank, const QString& unknownWord) {
    if (rank < 0 || size_t(rank) >= state.RankUnknown.size()) return QString();
    const int unknown = state.RankUnknown[size_t(rank)];
    if (unknown <= 0) return QString();
    return QStringLiteral(" (") + QString::number(unknown) + QLatin1Char(' ') + unknownWord +
           QLatin1Char(')');
}

QString legendWithDescribed(const QString& legend, const IdentificationState& state,
                            const QString& describedWord) {
    if (state.RankUnknown.empty() || state.AnsweredQuestions == 0) return legend;
    return legend + QStringLiteral(" (") + QString::number(describedAtTop(state)) +
           QLatin1Char(' ') + describedWord + QLatin1Char(')');
}

}  // namespace engine
