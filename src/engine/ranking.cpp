#include "engine/ranking.h"

#include "kb/model.h"
#include "platform/numbers.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace engine {

namespace {

// One chosen state: its weight x choice, and its column.
struct Term {
    std::int64_t factor;
    const i16* column;
};

// Species taken a block at a time, so that the block's sums stay in the first-level cache
// while every chosen column streams through it.
constexpr int SpeciesBlock = 4096;

// Two columns added into 32-bit sums: with SSE2, the two columns' values of a species are
// put side by side and one multiply-add does both products.
void addPair(std::int32_t* __restrict sums, const i16* __restrict c0, const i16* __restrict c1,
             i16 f0, i16 f1, int n) {
    int i = 0;
#ifdef __SSE2__
    const __m128i factors = _mm_set1_epi32(int(std::uint16_t(f0)) | (int(f1) << 16));
    for (; i + 8 <= n; i += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c0 + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c1 + i));
        __m128i* out = reinterpret_cast<__m128i*>(sums + i);
        _mm_storeu_si128(out, _mm_add_epi32(_mm_loadu_si128(out),
                                            _mm_madd_epi16(_mm_unpacklo_epi16(a, b), factors)));
        _mm_storeu_si128(out + 1, _mm_add_epi32(_mm_loadu_si128(out + 1),
                                                _mm_madd_epi16(_mm_unpackhi_epi16(a, b), factors)));
    }
#endif
    for (; i < n; ++i) sums[i] += std::int32_t(f0) * c0[i] + std::int32_t(f1) * c1[i];
}

// Sums in 32 bits of 16-bit products: exact while the largest possible score fits, which
// the caller checks.
void addNarrow(const std::vector<Term>& terms, int species, std::int64_t* scores) {
    std::int32_t sums[SpeciesBlock];
    for (int start = 0; start < species; start += SpeciesBlock) {
        const int n = std::min(SpeciesBlock, species - start);
        std::fill(sums, sums + n, 0);
        for (size_t t = 0; t < terms.size(); t += 2) {
            // An odd last column goes with a factor of zero on itself.
            const bool pair = t + 1 < terms.size();
            addPair(sums, terms[t].column + start, terms[pair ? t + 1 : t].column + start,
                    i16(terms[t].factor), pair ? i16(terms[t + 1].factor) : i16(0), n);
        }
        for (int i = 0; i < n; ++i) scores[start + i] = sums[i];
    }
}

void addWide(const std::vector<Term>& terms, int species, std::int64_t* scores) {
    for (const Term& term : terms)
        for (int i = 0; i < species; ++i) scores[i] += term.factor * term.column[i];
}

}  // namespace

void Calcule_Scores(const kb::Model& model, IdentificationState& state) {
    const int species = int(state.SpeciesScore.size());
    std::int64_t* scores = state.SpeciesScore.data();
    std::fill(scores, scores + species, 0);
    const int states = std::min(int(state.StateChoice.size()), int(model.StateWeight.size()));
    std::vector<Term> terms;
    bool narrow = true;
    std::int64_t bound = 0;  // the largest |score| possible: |factor| x 32768, summed
    for (int j = 0; j < states; ++j) {
        const std::int64_t factor =
            std::int64_t(model.StateWeight[size_t(j)]) * state.StateChoice[size_t(j)];
        if (factor == 0) continue;
        terms.push_back({factor, model.stateColumn(j)});
        narrow = narrow && factor >= INT16_MIN && factor <= INT16_MAX;
        bound += (factor < 0 ? -factor : factor) * 32768;
    }
    if (narrow && bound <= INT32_MAX)
        addNarrow(terms, species, scores);
    else
        addWide(terms, species, scores);
}

namespace {

struct Keyed {
    std::uint64_t key;
    std::int32_t index;
};

// Descending score as an ascending unsigned key.
std::uint64_t descendingKey(std::int64_t score) {
    return ~(std::uint64_t(score) ^ (std::uint64_t(1) << 63));
}

}  // namespace

// A stable least-significant-digit radix sort from the species order: equal scores keep
// increasing species index, exactly as an exchange sort with a strict comparison does.
// Digits shared by every score (most of them) cost no pass.
void Trie_Scores(IdentificationState& state) {
    const int n = int(state.SpeciesScore.size());
    state.RankTable.score.resize(size_t(n));
    state.RankTable.species.resize(size_t(n));
    // Kept from one ranking to the next: on a large key the two buffers are large enough for
    // the allocator to hand their pages back to the system when freed, and faulting them in
    // again on every answer costs more than the sort.
    thread_local std::vector<Keyed> a, b;
    a.resize(size_t(n));
    b.resize(size_t(n));
    std::array<std::array<int, 256>, 8> counts{};
    for (int i = 0; i < n; ++i) {
        a[size_t(i)] = {descendingKey(state.SpeciesScore[size_t(i)]), i};
        for (int d = 0; d < 8; ++d) ++counts[size_t(d)][(a[size_t(i)].key >> (8 * d)) & 0xFF];
    }
    for (int d = 0; d < 8 && n > 1; ++d) {
        auto& count = counts[size_t(d)];
        if (count[(a[0].key >> (8 * d)) & 0xFF] == n) continue;
        int offset = 0;
        for (int& c : count) {
            const int next = offset + c;
            c = offset;
            offset = next;
        }
        for (const Keyed& k : a) b[size_t(count[(k.key >> (8 * d)) & 0xFF]++)] = k;
        a.swap(b);
    }
    for (int k = 0; k < n; ++k) {
        const int s = a[size_t(k)].index;
        state.RankTable.species[size_t(k)] = s;
        state.RankTable.score[size_t(k)] = state.SpeciesScore[size_t(s)];
    }
}

std::int64_t totalWeight(const kb::Model& model, const IdentificationState& state) {
    std::int64_t total = 0;
    const size_t states = std::min(state.StateChoice.size(), model.StateWeight.size());
    for (size_t j = 0; j < states; ++j)
        total += std::int64_t(model.StateWeight[j]) * state.StateChoice[j];
    return total;
}

std::int64_t percentOf(std::int64_t score, std::int64_t total) {
    __int128 num = __int128(score) * 100, den = total;
    if (den < 0) num = -num, den = -den;
    __int128 q = num / den, r = num % den;
    if (r < 0) q -= 1, r += den;  // floor division
    if (2 * r > den || (2 * r == den && q % 2 != 0)) q += 1;
    if (q > std::numeric_limits<std::int64_t>::max())
        return std::numeric_limits<std::int64_t>::max();
    if (q < std::numeric_limits<std::int64_t>::min())
        return std::numeric_limits<std::int64_t>::min();
    return std::int64_t(q);
}

void Calcule_Pourcentages(const kb::Model& model, IdentificationState& state) {
    const std::int64_t total = totalWeight(model, state);
    const size_t n = state.RankTable.score.size();
    state.RankPercent.resize(n);
    // Ranks come in decreasing score, so equal scores are neighbours: one division each.
    for (size_t k = 0; k < n; ++k) {
        const std::int64_t score = state.RankTable.score[k];
        if (total == 0)
            state.RankPercent[k] = 0;
        else if (k > 0 && score == state.RankTable.score[k - 1])
            state.RankPercent[k] = state.RankPercent[k - 1];
        else
            state.RankPercent[k] = percentOf(score, total);
    }
}

void listSpecies(IdentificationState& state, int threshold, int* topCount) {
    state.ListedRanks.clear();
    const std::int64_t top = state.RankPercent.empty() ? 0 : state.RankPercent[0];
    int count = 0;
    for (int k = 0; k < int(state.RankPercent.size()); ++k) {
        const std::int64_t percent = state.RankPercent[size_t(k)];
        if (percent < threshold) continue;
        state.ListedRanks.push_back(k);
        if (percent == top) ++count;
    }
    if (topCount) *topCount = count;
}

QString speciesLine(const kb::Model& model, const IdentificationState& state, int rank) {
    const int species = state.RankTable.species[size_t(rank)];
    const QString name =
        species < int(model.SpeciesName.size()) ? model.SpeciesName[size_t(species)] : QString();
    return platform::signedSpaceNumber(state.RankPercent[size_t(rank)]) + QLatin1String("% - ") +
           name;
}

QString legendText(int topCount, std::int64_t topPercent, const QString& speciesAt) {
    return platform::signedSpaceNumber(topCount) + QLatin1Char(' ') + speciesAt +
           platform::signedSpaceNumber(topPercent) + QLatin1String(" %");
}

}  // namespace engine
