#include "reference.h"

#include "engine/portablelog.h"
#include "platform/numbers.h"

#include <cmath>

namespace reference {

using platform::add16;
using platform::mul16;

Reference::Reference(const kb::Model& model, const engine::KeyTables& tables)
    : model_(model), tables_(tables) {
    StateChoice.assign(size_t(model.StateCount), 0);
    FrameState.assign(size_t(model.FrameCount), 0);
    SpeciesScore.assign(size_t(model.SpeciesCount), 0);
    RankPercent.assign(size_t(model.SpeciesCount), 0);
    RankScore.assign(size_t(model.SpeciesCount), 0);
    RankSpecies.assign(size_t(model.SpeciesCount), 0);
    for (int k = 0; k < model.SpeciesCount; ++k) RankSpecies[size_t(k)] = i16(k);
    JokerFlag = model.JokerFlag;
}

bool Reference::Calcule_Scores() {
    for (int i = 0; i < model_.SpeciesCount; ++i) {
        i16 score = 0;
        for (int j = 0; j < model_.StateCount; ++j) {
            const auto wm = mul16(model_.StateWeight[size_t(j)], model_.matrix(i, j));
            if (!wm) return false;
            const auto term = mul16(*wm, StateChoice[size_t(j)]);
            if (!term) return false;
            const auto sum = add16(score, *term);
            if (!sum) return false;
            score = *sum;
        }
        SpeciesScore[size_t(i)] = score;
    }
    return true;
}

void Reference::Trie_Scores() {
    const int n = model_.SpeciesCount;
    for (int k = 0; k < n; ++k) {
        RankScore[size_t(k)] = SpeciesScore[size_t(k)];
        RankSpecies[size_t(k)] = i16(k);
    }
    if (n < 2) return;
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (int j = 0; j <= n - 2; ++j) {
            if (RankScore[size_t(j)] < RankScore[size_t(j + 1)]) {
                std::swap(RankScore[size_t(j)], RankScore[size_t(j + 1)]);
                std::swap(RankSpecies[size_t(j)], RankSpecies[size_t(j + 1)]);
                swapped = true;
            }
        }
    }
}

bool Reference::Calcule_Pourcentages() {
    i16 total = 0;
    for (int j = 0; j < model_.StateCount; ++j) {
        const auto term = mul16(model_.StateWeight[size_t(j)], StateChoice[size_t(j)]);
        if (!term) return false;
        const auto sum = add16(total, *term);
        if (!sum) return false;
        total = *sum;
    }
    for (int k = 0; k < model_.SpeciesCount; ++k) {
        if (total == 0) {
            RankPercent[size_t(k)] = 0;
            continue;
        }
        const auto product = mul16(RankScore[size_t(k)], 100);
        if (!product) return false;
        const auto percent = platform::toI16(
            static_cast<long long>(platform::roundHalfEven(double(*product) / double(total))));
        if (!percent) return false;
        RankPercent[size_t(k)] = *percent;
    }
    return true;
}

bool Reference::Classe_Especes(int threshold, const QString& speciesAt) {
    if (!Calcule_Scores()) return false;
    Trie_Scores();
    if (!Calcule_Pourcentages()) return false;
    lines.clear();
    const i16 top = RankPercent[0];
    TopSpeciesCount = 0;
    for (int k = 0; k < model_.SpeciesCount; ++k) {
        if (RankPercent[size_t(k)] >= threshold) {
            lines << platform::signedSpaceNumber(RankPercent[size_t(k)]) + "% - " +
                         model_.SpeciesName[size_t(RankSpecies[size_t(k)])];
            if (RankPercent[size_t(k)] == top) ++TopSpeciesCount;
        }
    }
    legend = platform::signedSpaceNumber(TopSpeciesCount) + " " + speciesAt +
             platform::signedSpaceNumber(top) + " %";
    return true;
}

std::vector<double> Reference::discriminantScores(int topCount) const {
    std::vector<double> scores(tables_.objects.size() + 1, 0.0);
    for (size_t r = 0; r < tables_.objects.size(); ++r) {
        const engine::ObjectRow& o = tables_.objects[r];
        if (!JokerFlag[size_t(o.descriptor)]) continue;
        bool answered = false;
        for (int s = o.firstState; s < o.firstState + o.stateCount; ++s)
            if (StateChoice[size_t(s)] != 0) answered = true;
        if (answered) continue;
        std::vector<i16> counts(size_t(o.stateCount), 0);
        for (int l = 0; l < o.stateCount; ++l)
            for (int k = 0; k < topCount; ++k)
                counts[size_t(l)] = i16(counts[size_t(l)] +
                                        model_.matrix(RankSpecies[size_t(k)], o.firstState + l));
        double s = 0;
        for (int l = 0; l < o.stateCount; ++l) {
            const double c = counts[size_t(l)];
            if (c == 0) continue;
            // The engine's own logarithm: scores are compared to the last bit.
            s = s - (c / topCount) * engine::portableLog(topCount / c) /
                        engine::portableLog(double(o.stateCount));
        }
        scores[r] = std::fabs(s);
    }
    return scores;
}

int Reference::bestRow(const std::vector<double>& scores) {
    double best = 0.0;
    int bestRow = 0;
    for (int r = 0; r + 1 < int(scores.size()); ++r) {
        if (best < scores[size_t(r)]) {
            best = scores[size_t(r)];
            bestRow = r;
        }
    }
    return best != 0.0 ? bestRow : -1;
}

int Reference::findObject(const QString& key) const {
    for (int i = 0; i < int(tables_.objects.size()); ++i)
        if (tables_.objects[size_t(i)].key.compare(key, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

void Reference::Nettoie_Descendance(int state) {
    const QString code = tables_.stateCodes.value(state);
    for (const engine::DependencyRow& row : tables_.dependencies) {
        if (row.parentCode != code) continue;
        const engine::ObjectRow& o = tables_.objects[size_t(findObject(row.objectKey))];
        for (int x = o.firstState; x <= o.firstState + o.stateCount - 1; ++x) {
            StateChoice[size_t(x)] = 0;
            Nettoie_Descendance(x);
        }
    }
}

void Reference::Valid_Descripteur(const engine::CurrentQuestion& q) {
    const int f = q.ObjectFirstState, n = q.ObjectStateCount, c = q.SelectedChoice,
              fr = q.ObjectFrame;
    int sum = 0, last = -1;
    for (int j = f; j <= f + n - 1; ++j) {
        sum += StateChoice[size_t(j)];
        if (StateChoice[size_t(j)] == 1) last = j;
    }
    if (sum == 0 && c == -1) return;
    if (c == last - f && sum == 1) return;
    if (last != -1) Nettoie_Descendance(last);
    for (int j = f; j <= f + n - 1; ++j) {
        if (j == f + c && StateChoice[size_t(j)] == 1) {
            if (fr != -1) FrameState[size_t(fr)] = -1;
            return;
        }
        StateChoice[size_t(j)] = 0;
    }
    if (fr != -1) FrameState[size_t(fr)] = 0;
    if (c == -1) return;
    StateChoice[size_t(f + c)] = 1;
    if (fr != -1) FrameState[size_t(fr)] = -1;
}

std::vector<std::pair<int, int>> Reference::contradicted(int species) const {
    std::vector<std::pair<int, int>> found;
    for (int r = 0; r < int(tables_.objects.size()); ++r) {
        const engine::ObjectRow& o = tables_.objects[size_t(r)];
        for (int s = o.firstState; s < o.firstState + o.stateCount; ++s) {
            if (StateChoice[size_t(s)] == 0) continue;
            if (model_.matrix(species, s) == 1) continue;
            found.emplace_back(r, s);
        }
    }
    return found;
}

}  // namespace reference
