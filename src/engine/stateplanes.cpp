#include "engine/stateplanes.h"

#include "kb/model.h"

#include <algorithm>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace engine {

namespace {

using Word = StatePlanes::Word;

// Packs n values into bits (set where the value is 1); false when a value is neither 0
// nor 1. The words of 64 species are packed sixteen values a step where the processor can.
bool packColumn(const std::int16_t* column, int n, Word* out) {
    const int full = n / 64;
    bool binary = true;
#if defined(__SSE2__)
    // Packed to bytes with saturation, a 0 or 1 stays itself and any other value gets a bit
    // above the lowest; shifted by 7 within each 16-bit lane, the lowest bit of every byte
    // becomes its sign, which gathers sixteen species into one mask.
    __m128i seen = _mm_setzero_si128();
    for (int w = 0; w < full; ++w) {
        const std::int16_t* p = column + size_t(w) * 64;
        Word word = 0;
        for (int g = 0; g < 4; ++g) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + g * 16));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + g * 16 + 8));
            const __m128i bytes = _mm_packs_epi16(a, b);
            seen = _mm_or_si128(seen, bytes);
            const unsigned set = unsigned(_mm_movemask_epi8(_mm_slli_epi16(bytes, 7)));
            word |= Word(set) << (g * 16);
        }
        out[w] = word;
    }
    const __m128i above = _mm_and_si128(seen, _mm_set1_epi8(std::int8_t(0xFE)));
    binary = _mm_movemask_epi8(_mm_cmpeq_epi8(above, _mm_setzero_si128())) == 0xFFFF;
#else
    for (int w = 0; w < full; ++w) {
        Word word = 0;
        for (int i = 0; i < 64; ++i) {
            const std::int16_t v = column[size_t(w) * 64 + size_t(i)];
            binary = binary && (v & ~1) == 0;
            word |= Word(v != 0) << i;
        }
        out[w] = word;
    }
#endif
    if (n % 64 != 0) {
        Word word = 0;
        for (int i = full * 64; i < n; ++i) {
            binary = binary && (column[i] & ~1) == 0;
            word |= Word(column[i] != 0) << (i % 64);
        }
        out[full] = word;
    }
    return binary;
}

std::int64_t countPlain(const Word* a, const Word* b, int words) {
    std::int64_t total = 0;
    for (int w = 0; w < words; ++w) total += std::popcount(a[w] & b[w]);
    return total;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// The processor's own bit count where it has one (nearly all do); the portable one otherwise.
__attribute__((target("popcnt"))) std::int64_t countPopcnt(const Word* a, const Word* b,
                                                           int words) {
    std::int64_t total = 0;
    for (int w = 0; w < words; ++w) total += __builtin_popcountll(a[w] & b[w]);
    return total;
}

std::int64_t countBoth(const Word* a, const Word* b, int words) {
    static const bool popcnt = __builtin_cpu_supports("popcnt");
    return popcnt ? countPopcnt(a, b, words) : countPlain(a, b, words);
}
#else
std::int64_t countBoth(const Word* a, const Word* b, int words) {
    return countPlain(a, b, words);
}
#endif

}  // namespace

StatePlanes& StatePlanes::operator=(const StatePlanes& other) {
    if (this != &other) *this = StatePlanes();
    return *this;
}

void StatePlanes::follow(const kb::Model& model) {
    const void* matrix = model.Matrix.data();
    if (matrix == matrix_ && model.SpeciesCount == species_ && model.StateCount == states_) return;
    matrix_ = matrix;
    species_ = std::max<int>(model.SpeciesCount, 0);
    states_ = std::max<int>(model.StateCount, 0);
    words_ = wordsFor(species_);
    status_.assign(size_t(states_), Status::Unknown);
    bits_.reset();
}

std::int64_t StatePlanes::count(int state, const Word* species) const {
    if (!packed(state)) return 0;
    return countBoth(bits_.get() + size_t(words_) * size_t(state), species, words_);
}

std::int64_t StatePlanes::count(int state, const std::vector<int>& species) const {
    if (!packed(state)) return 0;
    const Word* column = bits_.get() + size_t(words_) * size_t(state);
    std::int64_t total = 0;
    for (int s : species) {
        if (s >= 0 && s < species_) total += (column[s / 64] >> (s % 64)) & 1;
    }
    return total;
}

std::optional<std::int64_t> StatePlanes::packAndCount(const kb::Model& model, int state,
                                                      const Word* species) {
    follow(model);
    if (state < 0 || state >= states_) return std::nullopt;
    if (status_[size_t(state)] == Status::Binary) return count(state, species);
    if (status_[size_t(state)] == Status::Other) return std::nullopt;
    if (!bits_) bits_.reset(new Word[size_t(words_) * size_t(states_)]);
    Word* out = bits_.get() + size_t(words_) * size_t(state);
    if (!packColumn(model.stateColumn(state), species_, out)) {
        status_[size_t(state)] = Status::Other;
        return std::nullopt;
    }
    status_[size_t(state)] = Status::Binary;
    return count(state, species);
}

}  // namespace engine
