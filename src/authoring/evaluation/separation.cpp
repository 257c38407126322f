#include "authoring/evaluation/separation.h"

#include "authoring/evaluation/keymatrix.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <bit>
#include <map>
#include <numeric>

namespace authoring {

namespace {

using Block = std::vector<int>;
using Blocks = std::vector<Block>;

class Splitter {
public:
    explicit Splitter(const KeyMatrix& m) : m_(m) {}

    // The parts of `block` that question q leaves together; parts of one species dropped.
    void split(int q, const Block& block, Blocks& out) {
        const int k = m_.question(q).stateCount;
        const int w = m_.words(q);
        parent_.resize(size_t(k));
        std::iota(parent_.begin(), parent_.end(), 0);
        words_.resize(size_t(w));
        firstOf_.assign(block.size(), -1);
        int coded = 0;
        for (size_t i = 0; i < block.size(); ++i) {
            if (!m_.coded(q, block[i])) continue;
            m_.states(q, block[i], words_.data());
            int first = -1;
            for (int x = 0; x < w; ++x) {
                for (std::uint64_t bits = words_[size_t(x)]; bits; bits &= bits - 1) {
                    const int l = x * 64 + std::countr_zero(bits);
                    if (first < 0)
                        first = l;
                    else
                        parent_[size_t(find(l))] = find(first);
                }
            }
            firstOf_[i] = first;
            ++coded;
        }
        if (coded < 2) return keep(block, out);
        // The parts by the root of their states; there are seldom more than a few.
        std::vector<std::pair<int, Block>> parts;
        Block uncoded;
        for (size_t i = 0; i < block.size(); ++i) {
            if (firstOf_[i] < 0) {
                uncoded.push_back(block[i]);
                continue;
            }
            const int root = find(firstOf_[i]);
            auto it = std::find_if(parts.begin(), parts.end(),
                                   [root](const auto& p) { return p.first == root; });
            if (it == parts.end()) it = parts.insert(parts.end(), {root, Block()});
            it->second.push_back(block[i]);
        }
        if (parts.size() == 1) return keep(block, out);
        for (auto& [root, part] : parts) {
            part.insert(part.end(), uncoded.begin(), uncoded.end());
            std::sort(part.begin(), part.end());
            keep(part, out);
        }
    }

    Blocks refine(Blocks blocks, int from, int to) {
        for (int q = from; q < to && !blocks.empty(); ++q) {
            Blocks next;
            for (const Block& b : blocks) split(q, b, next);
            blocks = unique(std::move(next));
        }
        return blocks;
    }

private:
    static void keep(const Block& b, Blocks& out) {
        if (b.size() >= 2) out.push_back(b);
    }
    // Uncoded species make overlapping parts; the same part met twice is kept once.
    static Blocks unique(Blocks blocks) {
        std::sort(blocks.begin(), blocks.end());
        blocks.erase(std::unique(blocks.begin(), blocks.end()), blocks.end());
        return blocks;
    }
    int find(int x) {
        while (parent_[size_t(x)] != x)
            x = parent_[size_t(x)] = parent_[size_t(parent_[size_t(x)])];
        return x;
    }

    const KeyMatrix& m_;
    std::vector<int> parent_;
    std::vector<std::uint64_t> words_;
    std::vector<int> firstOf_;
};

std::uint64_t pairKey(int a, int b) {
    return (std::uint64_t(std::uint32_t(std::min(a, b))) << 32) | std::uint32_t(std::max(a, b));
}

class Analysis {
public:
    Analysis(const KeyMatrix& m, SeparationLimits limits, SeparationReport& r)
        : m_(m), limits_(limits), r_(r), splitter_(m) {}

    // Questions separating a and b, counted up to `stop`.
    int separating(int a, int b, int stop, int* which) {
        int n = 0;
        for (int q = 0; q < m_.questionCount() && n < stop; ++q) {
            if (m_.separates(q, a, b)) {
                ++n;
                if (which) *which = q;
            }
        }
        return n;
    }
    bool spend(std::int64_t pairs) {
        used_ += pairs;
        if (used_ > limits_.pairComparisons) r_.complete = false;
        return r_.complete;
    }

    void inseparable();
    void fragile(Blocks blocks, int lo, int hi);
    void perQuestion();

private:
    void closestQuestions(const Block& group, const QSet<std::uint64_t>& pairs);

    const KeyMatrix& m_;
    SeparationLimits limits_;
    SeparationReport& r_;
    Splitter splitter_;
    std::int64_t used_ = 0;
    QSet<std::uint64_t> fragileSeen_;
};

void Analysis::inseparable() {
    Block all(size_t(m_.speciesCount()));
    std::iota(all.begin(), all.end(), 0);
    const Blocks blocks = splitter_.refine({all}, 0, m_.questionCount());
    QSet<std::uint64_t> pairs;
    for (const Block& b : blocks) {
        if (!spend(std::int64_t(b.size()) * std::int64_t(b.size() - 1) / 2)) break;
        for (size_t i = 0; i < b.size(); ++i)
            for (size_t j = i + 1; j < b.size(); ++j)
                if (separating(b[i], b[j], 1, nullptr) == 0) pairs.insert(pairKey(b[i], b[j]));
    }
    // Groups: species linked by inseparable pairs.
    std::vector<int> parent(size_t(m_.speciesCount()));
    std::iota(parent.begin(), parent.end(), 0);
    auto find = [&](int x) {
        while (parent[size_t(x)] != x) x = parent[size_t(x)] = parent[size_t(parent[size_t(x)])];
        return x;
    };
    for (const std::uint64_t p : pairs)
        parent[size_t(find(int(p >> 32)))] = find(int(p & 0xFFFFFFFFu));
    std::map<int, Block> groups;
    for (const std::uint64_t p : pairs) {
        groups[find(int(p >> 32))].push_back(int(p >> 32));
        groups[find(int(p >> 32))].push_back(int(p & 0xFFFFFFFFu));
    }
    for (auto& [root, g] : groups) {
        std::sort(g.begin(), g.end());
        g.erase(std::unique(g.begin(), g.end()), g.end());
        r_.groups.push_back(g);
    }
    std::sort(r_.groups.begin(), r_.groups.end());
    for (const Block& g : r_.groups) {
        const std::int64_t all = std::int64_t(g.size()) * std::int64_t(g.size() - 1) / 2;
        std::int64_t inside = 0;
        for (size_t i = 0; i < g.size(); ++i)
            for (size_t j = i + 1; j < g.size(); ++j) inside += pairs.contains(pairKey(g[i], g[j]));
        r_.groupIsWhole.push_back(inside == all);
        closestQuestions(g, pairs);
    }
}

void Analysis::closestQuestions(const Block& group, const QSet<std::uint64_t>& pairs) {
    std::vector<std::pair<int, int>> differing;  // (-pairs differing, question)
    std::vector<std::uint64_t> a, b;
    for (int q = 0; q < m_.questionCount(); ++q) {
        a.resize(size_t(m_.words(q)));
        b.resize(a.size());
        int n = 0;
        for (size_t i = 0; i < group.size(); ++i) {
            for (size_t j = i + 1; j < group.size(); ++j) {
                if (!pairs.contains(pairKey(group[i], group[j]))) continue;
                m_.states(q, group[i], a.data());
                m_.states(q, group[j], b.data());
                n += a != b;
            }
        }
        if (n > 0) differing.push_back({-n, q});
    }
    std::sort(differing.begin(), differing.end());
    std::vector<int> best;
    for (size_t i = 0; i < differing.size() && i < 3; ++i) best.push_back(differing[i].second);
    r_.closest.push_back(best);
}

void Analysis::fragile(Blocks blocks, int lo, int hi) {
    if (blocks.empty() || !r_.complete || lo >= hi) return;
    if (hi - lo > 1) {
        const int mid = lo + (hi - lo) / 2;
        fragile(splitter_.refine(blocks, mid, hi), lo, mid);
        fragile(splitter_.refine(std::move(blocks), lo, mid), mid, hi);
        return;
    }
    // Every question but lo has been applied: pairs still together that lo separates are
    // separated by lo alone, or by lo and another that the splitting could not use.
    for (const Block& b : blocks) {
        if (!spend(std::int64_t(b.size()) * std::int64_t(b.size() - 1) / 2)) return;
        for (size_t i = 0; i < b.size(); ++i) {
            for (size_t j = i + 1; j < b.size(); ++j) {
                if (!m_.separates(lo, b[i], b[j])) continue;
                const std::uint64_t key = pairKey(b[i], b[j]);
                if (fragileSeen_.contains(key)) continue;
                if (separating(b[i], b[j], 2, nullptr) != 1) continue;
                fragileSeen_.insert(key);
                r_.fragile.push_back({b[i], b[j], lo});
            }
        }
    }
}

// Pairs with no state in common, counted over the distinct state sets of the coded species.
void Analysis::perQuestion() {
    const int n = m_.speciesCount();
    for (int q = 0; q < m_.questionCount(); ++q) {
        const int k = m_.question(q).stateCount;
        const int w = m_.words(q);
        std::map<std::vector<std::uint64_t>, std::int64_t> sets;
        std::vector<std::uint64_t> s(static_cast<size_t>(w));
        int coded = 0;
        std::int64_t pairs = 0;
        if (m_.cached(q)) {
            std::vector<std::int64_t> exactly(size_t(1) << k, 0);
            for (int sp = 0; sp < n; ++sp) {
                if (!m_.coded(q, sp)) continue;
                ++exactly[size_t(m_.states64(q, sp))];
                ++coded;
            }
            // Sum over subsets: below[m] = species whose states all lie in m.
            std::vector<std::int64_t> below = exactly;
            for (int bit = 0; bit < k; ++bit)
                for (size_t mask = 0; mask < below.size(); ++mask)
                    if (mask >> bit & 1) below[mask] += below[mask ^ (size_t(1) << bit)];
            const size_t full = below.size() - 1;
            for (size_t mask = 1; mask < exactly.size(); ++mask)
                pairs += exactly[mask] * below[full ^ mask];
            pairs /= 2;
        } else {
            for (int sp = 0; sp < n; ++sp) {
                if (!m_.coded(q, sp)) continue;
                m_.states(q, sp, s.data());
                ++sets[s];
                ++coded;
            }
            for (auto i = sets.begin(); i != sets.end(); ++i) {
                for (auto j = std::next(i); j != sets.end(); ++j) {
                    bool disjoint = true;
                    for (int x = 0; x < w && disjoint; ++x)
                        disjoint = !(i->first[size_t(x)] & j->first[size_t(x)]);
                    if (disjoint) pairs += i->second * j->second;
                }
            }
        }
        r_.pairsSeparated.push_back(pairs);
        r_.codedSpecies.push_back(coded);
    }
}

}  // namespace

SeparationReport analyseSeparation(const KeyMatrix& matrix, SeparationLimits limits) {
    SeparationReport report;
    Analysis analysis(matrix, limits, report);
    analysis.perQuestion();
    analysis.inseparable();
    Block all(size_t(matrix.speciesCount()));
    std::iota(all.begin(), all.end(), 0);
    if (matrix.questionCount() > 0 && all.size() >= 2)
        analysis.fragile({all}, 0, matrix.questionCount());
    std::sort(report.fragile.begin(), report.fragile.end(),
              [](const auto& x, const auto& y) { return std::tie(x.a, x.b) < std::tie(y.a, y.b); });
    return report;
}

}  // namespace authoring
