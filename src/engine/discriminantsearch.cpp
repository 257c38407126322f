#include "engine/discriminantsearch.h"

#include "engine/portablelog.h"
#include "kb/model.h"

#include <cmath>

namespace engine {

DiscriminantSearch::DiscriminantSearch(const kb::Model& model, const KeyTables& tables,
                                       const IdentificationState& state, StatePlanes* planes)
    : model_(model), tables_(tables), state_(state), planes_(planes) {
    if (planes_) planes_->follow(model_);
}

int DiscriminantSearch::bestRow(const std::vector<double>& scores) {
    double best = 0.0;
    int row = -1;
    // The last entry belongs to no row.
    for (int r = 0; r + 1 < int(scores.size()); ++r) {
        if (best < scores[size_t(r)]) {
            best = scores[size_t(r)];
            row = r;
        }
    }
    return row;
}

std::vector<double> DiscriminantSearch::scores(int topCount) {
    std::vector<double> result(tables_.objects.size() + 1, 0.0);
    for (size_t r = 0; r < tables_.objects.size(); ++r) {
        const ObjectRow& object = tables_.objects[r];
        if (proposable(object)) result[r] = score(object, topCount);
    }
    return result;
}

bool DiscriminantSearch::proposable(const ObjectRow& object) const {
    const auto& joker = state_.JokerFlag;
    if (object.descriptor < 0 || object.descriptor >= int(joker.size())) return false;
    if (!joker[size_t(object.descriptor)]) return false;
    const int states = int(state_.StateChoice.size());
    for (int s = object.firstState; s < object.firstState + object.stateCount; ++s) {
        if (s >= 0 && s < states && state_.StateChoice[size_t(s)] != 0) return false;
    }
    return true;
}

double DiscriminantSearch::score(const ObjectRow& object, int topCount) {
    const int k = object.stateCount;
    // ln 1 = 0: a single state separates nothing.
    if (k <= 1) return 0.0;
    const double t = topCount;
    double s = 0.0;
    for (int l = 0; l < k; ++l) {
        const std::int64_t c = stateCount(object.firstState + l, topCount);
        if (c == 0) continue;
        s = s - (double(c) / t) * portableLog(t / double(c)) / portableLog(double(k));
    }
    return std::fabs(s);
}

void DiscriminantSearch::prepareTop(int topCount) {
    if (maskTop_ == topCount) return;
    counts_.assign(size_t(std::max<int>(model_.StateCount, 0)), 0);
    counted_.assign(counts_.size(), false);
    topMask_.assign(size_t(std::max<int>(model_.SpeciesCount, 0)), 0);
    const int ranked = int(state_.RankTable.species.size());
    for (int k = 0; k < topCount && k < ranked; ++k) {
        const int s = state_.RankTable.species[size_t(k)];
        if (s >= 0 && s < int(topMask_.size())) topMask_[size_t(s)] += 1;
    }
    topSpecies_.clear();
    topLines_.clear();
    topBits_.assign(size_t(StatePlanes::wordsFor(int(topMask_.size()))), 0);
    topIsSet_ = true;
    for (int s = 0; s < int(topMask_.size()); ++s) {
        if (topMask_[size_t(s)] > 1) topIsSet_ = false;
        if (topMask_[size_t(s)] > 0) topBits_[size_t(s / 64)] |= StatePlanes::Word(1) << (s % 64);
        if (topMask_[size_t(s)] > 0 && (topLines_.empty() || topLines_.back() / 32 != s / 32))
            topLines_.push_back(s);
        for (int m = 0; m < topMask_[size_t(s)]; ++m) topSpecies_.push_back(s);
    }
    maskTop_ = topCount;
}

namespace {

// Sums in 32 bits over blocks short enough not to overflow, then in 64.
constexpr int Block = 32768;

std::int64_t maskedSum(const std::int16_t* column, const std::int16_t* mask, int n) {
    std::int64_t total = 0;
    for (int start = 0; start < n; start += Block) {
        const int end = std::min(n, start + Block);
        std::int32_t sum = 0;  // the mask holds 0 or 1
        for (int i = start; i < end; ++i) sum += std::int32_t(column[i]) * mask[i];
        total += sum;
    }
    return total;
}

}  // namespace

std::int64_t DiscriminantSearch::stateCount(int state, int topCount) {
    prepareTop(topCount);
    if (state < 0 || state >= int(counts_.size())) return 0;
    if (counted_[size_t(state)]) return counts_[size_t(state)];
    const int species = model_.SpeciesCount;
    const std::int16_t* column = model_.stateColumn(state);
    const int top = std::min(topCount, int(state_.RankTable.species.size()));
    if (const auto packed = countPacked(state, top)) {
        counted_[size_t(state)] = true;
        counts_[size_t(state)] = *packed;
        return *packed;
    }
    std::int64_t c = 0;
    // A top that touches most lines of a column (all of it, when every species is tied) is
    // counted over the whole column with the mask, which packs two products per step; a
    // plain sum widens each value alone and measured twice as slow.
    if (top * 8 >= species) {
        c = maskedSum(column, topMask_.data(), species);
    } else {
        // In rank order the reads jump about the column; in species order they go forward.
        // A few top species touch a line here and there, which the memory would serve one
        // wait at a time: the lines of a column a few states on are asked for meanwhile.
        constexpr int Ahead = 4;
        if (state + Ahead < model_.StateCount) {
            const std::int16_t* later = model_.stateColumn(state + Ahead);
            for (int s : topLines_) __builtin_prefetch(later + s);
        }
        for (int s : topSpecies_) c += column[s];
    }
    counted_[size_t(state)] = true;
    counts_[size_t(state)] = c;
    return c;
}

// A top of a 128th of the species or more is counted word by word over packed columns, and
// packs a column in the walk that first counts it: such a top touches so many of the column's
// cache lines, one wait at a time, that a walk streaming them all costs no more. A smaller top
// reads its species' bits from a column packed before, or the matrix itself.
std::optional<std::int64_t> DiscriminantSearch::countPacked(int state, int top) {
    if (!planes_ || !topIsSet_) return std::nullopt;
    const bool wide = top * 128 >= model_.SpeciesCount;
    if (planes_->packed(state))
        return wide ? planes_->count(state, topBits_.data()) : planes_->count(state, topSpecies_);
    if (!wide || planes_->holdsOtherValues(state)) return std::nullopt;
    return planes_->packAndCount(model_, state, topBits_.data());
}

}  // namespace engine
