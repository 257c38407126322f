#include "authoring/evaluation/dichotomouskey.h"

#include "authoring/evaluation/keymatrix.h"
#include "kb/model.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numeric>

namespace authoring {

namespace {

struct Split {
    int question = -1;
    double score = -1;
    std::vector<int> sides[2];       // species of each lead, uncoded ones in both
    std::vector<int> sideStates[2];  // states shown on each lead
};

// The species of a couplet, in species order, and the state sets they show for every question
// whose sets the matrix keeps, a question after another. Scoring a question then reads its
// column in order; read from the matrix's own columns, where the species of a small group lie
// far apart, nearly every read missed the cache.
struct Group {
    std::vector<int> species;
    std::vector<std::uint16_t> sets;  // empty for the group of every species
    bool whole = false;               // every species: the sets are the matrix's
};

class Builder {
public:
    explicit Builder(const KeyMatrix& m) : m_(m) {
        const size_t n = size_t(m.questionCount());
        rank_.assign(n, -1);
        for (int q = 0; q < m.questionCount(); ++q) {
            heaviest_ = std::max(heaviest_, m.questionWeight(q));
            if (m.cached(q)) rank_[size_t(q)] = cachedCount_++;
        }
        weight_.resize(n);
        proposable_.resize(n);
        for (size_t q = 0; q < n; ++q) {
            weight_[q] = heaviest_ > 0 ? m.questionWeight(int(q)) / heaviest_ : 1.0;
            proposable_[q] = m.proposable(int(q));
        }
        // The heaviest question from each one on, among those of its kind.
        for (auto& heaviest : heaviestFrom_) heaviest.assign(n + 1, 0.0);
        for (size_t q = n; q-- > 0;) {
            for (int kind = 0; kind < 2; ++kind)
                heaviestFrom_[kind][q] = heaviestFrom_[kind][q + 1];
            double& h = heaviestFrom_[proposable_[q] ? 0 : 1][q];
            h = std::max(h, weight_[q]);
        }
    }

    DichotomousKey build() {
        Group all;
        all.species.resize(size_t(m_.speciesCount()));
        std::iota(all.species.begin(), all.species.end(), 0);
        all.whole = true;
        key_.species = m_.speciesCount();
        if (all.species.size() >= 2) {
            if (Split s = best(all); s.question >= 0) couplet(s, all, 0);
        }
        std::int64_t endings = 0, sum = 0;
        for (const Couplet& c : key_.couplets) {
            for (const KeyLead& lead : c.leads) {
                if (lead.next) continue;
                const int depth = depthOf(c.number);
                endings += std::int64_t(lead.species.size());
                sum += std::int64_t(lead.species.size()) * depth;
                key_.maxPath = std::max(key_.maxPath, depth);
                if (lead.species.size() > 1) ++key_.endingsTogether;
            }
        }
        key_.meanPath = endings ? double(sum) / double(endings) : 0.0;
        return std::move(key_);
    }

private:
    int depthOf(int number) const {
        int d = 0;
        for (; number; number = key_.couplets[size_t(number - 1)].from) ++d;
        return d;
    }

    // The sets of question q for the species of g, in their order.
    const std::uint16_t* column(const Group& g, int q) const {
        return g.whole ? m_.cachedSets(q)
                       : g.sets.data() + size_t(rank_[size_t(q)]) * g.species.size();
    }

    // The group of `species`, a part of `parent`'s species, both in species order.
    Group subgroup(const Group& parent, const std::vector<int>& species) const {
        Group g;
        g.species = species;
        std::vector<int> at;
        at.reserve(species.size());
        size_t i = 0;
        for (const int sp : species) {
            while (parent.species[i] != sp) ++i;
            at.push_back(int(i));
        }
        g.sets.resize(size_t(cachedCount_) * species.size());
        for (int q = 0; q < m_.questionCount(); ++q) {
            if (rank_[size_t(q)] < 0) continue;
            const std::uint16_t* from = column(parent, q);
            std::uint16_t* to = g.sets.data() + size_t(rank_[size_t(q)]) * species.size();
            for (const int p : at) *to++ = from[p];
        }
        return g;
    }

    // Adds the couplet of split s of `group`, reached from couplet `from`, and those below
    // it, numbered in the order a reader meets them: the whole first lead before the second.
    // The group's sets are let go once its leads have theirs, so that the sets held at any
    // time are about those of every species once.
    void couplet(const Split& s, Group& group, int from) {
        const int number = int(key_.couplets.size()) + 1;
        key_.couplets.push_back({number, from, s.question, {}});
        Group sides[2];
        for (int side = 0; side < 2; ++side)
            if (s.sides[side].size() >= 2) sides[side] = subgroup(group, s.sides[side]);
        std::vector<std::uint16_t>().swap(group.sets);
        for (int side = 0; side < 2; ++side) {
            KeyLead lead;
            lead.states = s.sideStates[side];
            const Split below = s.sides[side].size() >= 2 ? best(sides[side]) : Split();
            if (below.question >= 0) {
                lead.next = int(key_.couplets.size()) + 1;
                key_.couplets[size_t(number - 1)].leads[side] = lead;
                couplet(below, sides[side], number);
            } else {
                lead.species = s.sides[side];
                key_.couplets[size_t(number - 1)].leads[side] = lead;
            }
        }
    }

    Split best(const Group& group) {
        Split chosen;
        const Ceiling ceiling(group.species.size());
        for (const bool proposable : {true, false}) {
            const std::vector<double>& heaviest = heaviestFrom_[proposable ? 0 : 1];
            for (int q = 0; q < m_.questionCount(); ++q) {
                if (proposable_[size_t(q)] != proposable) continue;
                // No later question can score more than the chosen one: a later one must
                // score strictly more to be taken.
                if (chosen.question >= 0 && ceiling.known() &&
                    chosen.score >= ceiling.of(heaviest[size_t(q)]))
                    break;
                const Split s = split(q, group, false);
                if (s.question >= 0 && s.score > chosen.score) chosen = s;
            }
            if (chosen.question >= 0) break;
        }
        // Only the chosen question's leads are made.
        return chosen.question >= 0 ? split(chosen.question, group, true) : chosen;
    }

    // The split of `g` by question q and its score; its leads only when `leads` is set.
    Split split(int q, const Group& g, bool leads) {
        const std::vector<int>& group = g.species;
        const int k = m_.question(q).stateCount;
        const int w = m_.words(q);
        if (k < 2) return {};
        std::vector<int>& parent = parent_;
        parent.resize(size_t(k));
        std::iota(parent.begin(), parent.end(), 0);
        auto find = [&](int x) {
            while (parent[size_t(x)] != x)
                x = parent[size_t(x)] = parent[size_t(parent[size_t(x)])];
            return x;
        };
        // Components: (species count, root), the largest first, then by root for a fixed order.
        std::vector<std::pair<int, int>>& parts = parts_;
        parts.clear();
        const auto count = [&parts](int root, int species) {
            auto it = std::find_if(parts.begin(), parts.end(),
                                   [root](const auto& p) { return p.second == root; });
            if (it == parts.end())
                parts.push_back({species, root});
            else
                it->first += species;
        };
        if (m_.cached(q) && !leads) {
            // Only the score: the species are counted by state set, and the sets joined in the
            // order they first appear, which joins the states as species by species would.
            const unsigned all = (1u << k) - 1;
            setCount_.resize(size_t(1) << MostCachedStates, 0);
            seen_.clear();
            const std::uint16_t* sets = column(g, q);
            for (size_t i = 0; i < group.size(); ++i) {
                const unsigned m = sets[i];
                if (m == 0 || m == all) continue;  // uncoded
                if (setCount_[m]++ == 0) seen_.push_back(m);
            }
            for (const unsigned m : seen_) {
                const int lowest = std::countr_zero(m);
                for (unsigned bits = m & (m - 1); bits; bits &= bits - 1)
                    parent[size_t(find(std::countr_zero(bits)))] = find(lowest);
            }
            for (const unsigned m : seen_) {
                count(find(std::countr_zero(m)), setCount_[m]);
                setCount_[m] = 0;
            }
            return scored(q, group, parts);
        }
        std::vector<std::uint64_t>& words = words_;
        words.resize(size_t(w));
        std::vector<int>& first = first_;
        first.assign(group.size(), -1);
        std::vector<bool>& shown = shown_;
        shown.assign(size_t(k), false);
        std::vector<int>& uncoded = uncoded_;
        uncoded.clear();
        for (size_t i = 0; i < group.size(); ++i) {
            if (!m_.coded(q, group[i])) {
                uncoded.push_back(group[i]);
                continue;
            }
            m_.states(q, group[i], words.data());
            for (int x = 0; x < w; ++x) {
                for (std::uint64_t bits = words[size_t(x)]; bits; bits &= bits - 1) {
                    const int l = x * 64 + std::countr_zero(bits);
                    shown[size_t(l)] = true;
                    if (first[i] < 0)
                        first[i] = l;
                    else
                        parent[size_t(find(l))] = find(first[i]);
                }
            }
        }
        for (size_t i = 0; i < group.size(); ++i)
            if (first[i] >= 0) count(find(first[i]), 1);
        Split s = scored(q, group, parts);
        if (!leads || s.question < 0) return s;
        const std::vector<int>& sideOfRoot = sideOfRoot_;
        for (size_t i = 0; i < group.size(); ++i) {
            if (first[i] >= 0) s.sides[sideOfRoot[size_t(find(first[i]))]].push_back(group[i]);
        }
        for (int side = 0; side < 2; ++side) {
            s.sides[side].insert(s.sides[side].end(), uncoded.begin(), uncoded.end());
            std::sort(s.sides[side].begin(), s.sides[side].end());
        }
        // The leads' states in the question's order; a state no species here shows is left out.
        for (int l = 0; l < k; ++l) {
            if (shown[size_t(l)])
                s.sideStates[sideOfRoot[size_t(find(l))]].push_back(m_.question(q).firstState + l);
        }
        // The lead holding the question's first state comes first, as the states are ordered.
        if (!s.sideStates[1].empty() &&
            (s.sideStates[0].empty() || s.sideStates[1].front() < s.sideStates[0].front())) {
            std::swap(s.sides[0], s.sides[1]);
            std::swap(s.sideStates[0], s.sideStates[1]);
        }
        return s;
    }

    // The score of splitting `group` into the components `parts` (species count, root): the
    // largest first, each to the lighter lead (kept in sideOfRoot_).
    Split scored(int q, const std::vector<int>& group, std::vector<std::pair<int, int>>& parts) {
        if (parts.size() < 2) return {};
        std::sort(parts.begin(), parts.end(), [](const auto& a, const auto& b) {
            return a.first != b.first ? a.first > b.first : a.second < b.second;
        });
        sideOfRoot_.assign(size_t(m_.question(q).stateCount), -1);
        int size[2] = {0, 0};
        for (const auto& [count, root] : parts) {
            const int side = size[0] <= size[1] ? 0 : 1;
            size[side] += count;
            sideOfRoot_[size_t(root)] = side;
        }
        Split s;
        s.question = q;
        s.score = score(weight_[size_t(q)], size[0], size[1], group.size());
        return s;
    }

    // The score of a split of a group of `n` species, `first` and `second` of them coded on
    // each lead.
    static double score(double weight, int first, int second, size_t n) {
        const double coded = first + second;
        const double p = first / coded;
        const double evenness = -(p * std::log2(p) + (1 - p) * std::log2(1 - p));
        return weight * (coded / double(n)) * evenness;
    }

    // The most a question of a given weight can score on a group of n species: every species
    // coded and the leads as even as they can be, or all but one coded and the leads even;
    // any other split falls short of those by far more than rounding, in the very sums the
    // score is made of. Known only for groups small enough for that margin to be sure.
    class Ceiling {
    public:
        explicit Ceiling(size_t n) : n_(n) {
            if (n < 2 || n > 4096) return;
            for (const int coded : {int(n), int(n) - 1})
                if (coded >= 2)
                    for (const int first : {coded / 2, coded - coded / 2})
                        splits_.push_back({first, coded - first});
        }
        bool known() const { return !splits_.empty(); }
        double of(double weight) const {
            if (weight != lastWeight_) {
                lastWeight_ = weight;
                most_ = 0;
                for (const auto& [first, second] : splits_)
                    most_ = std::max(most_, score(weight, first, second, n_));
            }
            return most_;
        }

    private:
        size_t n_;
        std::vector<std::pair<int, int>> splits_;
        mutable double lastWeight_ = -1, most_ = 0;
    };

    static constexpr int MostCachedStates = KeyMatrix::CachedStates;

    const KeyMatrix& m_;
    double heaviest_ = 0;
    DichotomousKey key_;
    // Scratch space of split(), kept between calls.
    std::vector<int> parent_, first_, uncoded_, sideOfRoot_;
    std::vector<std::uint64_t> words_;
    std::vector<bool> shown_;
    std::vector<std::pair<int, int>> parts_;
    std::vector<int> setCount_;  // species by state set, zero between calls
    std::vector<unsigned> seen_;
    std::vector<int> rank_;  // by question: its column in a group's sets, -1 when not kept
    int cachedCount_ = 0;
    std::vector<double> weight_;  // by question: its weight against the heaviest
    std::vector<char> proposable_;
    std::vector<double> heaviestFrom_[2];  // proposable questions, then the others
};

}  // namespace

DichotomousKey buildDichotomousKey(const KeyMatrix& matrix) {
    return Builder(matrix).build();
}

std::vector<std::vector<int>> followKey(const DichotomousKey& key, const KeyMatrix& matrix,
                                        int species) {
    std::vector<std::vector<int>> endings;
    if (key.couplets.empty()) {
        std::vector<int> all(size_t(matrix.speciesCount()));
        std::iota(all.begin(), all.end(), 0);
        endings.push_back(all);
        return endings;
    }
    std::vector<int> todo{1};
    while (!todo.empty()) {
        const Couplet& c = key.couplets[size_t(todo.back() - 1)];
        todo.pop_back();
        const bool uncoded = !matrix.coded(c.question, species);
        for (const KeyLead& lead : c.leads) {
            const bool shows =
                uncoded || std::any_of(lead.states.begin(), lead.states.end(), [&](int s) {
                    return matrix.model().matrix(species, s) != 0;
                });
            if (!shows) continue;
            if (lead.next)
                todo.push_back(lead.next);
            else
                endings.push_back(lead.species);
        }
    }
    return endings;
}

}  // namespace authoring
