#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace kb {
class Model;
}

namespace engine {

// The matrix's state columns packed one bit per species, for the columns whose values are all
// 0 or 1 (as most are): a count over many species then reads a sixteenth of the bytes. A column
// is packed the first time it is read whole, in the same walk that counts it, and kept while
// the matrix stays the same; a column holding other values keeps being summed value by value.
class StatePlanes {
public:
    StatePlanes() = default;
    // The packed columns are a cache: a copy starts without them.
    StatePlanes(const StatePlanes&) {}
    StatePlanes& operator=(const StatePlanes& other);
    StatePlanes(StatePlanes&&) = default;
    StatePlanes& operator=(StatePlanes&&) = default;

    // Bits of a set of species, species i at bit i % 64 of word i / 64.
    using Word = std::uint64_t;
    static int wordsFor(int species) { return (species + 63) / 64; }

    // Forgets every packed column unless they were packed from this very matrix.
    void follow(const kb::Model& model);

    bool packed(int state) const { return status(state) == Status::Binary; }
    // True once the column was found to hold a value other than 0 and 1.
    bool holdsOtherValues(int state) const { return status(state) == Status::Other; }

    // The number of species of `species` (wordsFor(SpeciesCount) words) showing state `state`,
    // from its packed column.
    std::int64_t count(int state, const Word* species) const;
    // The same for a few species given by their indices, read bit by bit.
    std::int64_t count(int state, const std::vector<int>& species) const;

    // Packs the column of `state` while counting it as count() would; nothing when the column
    // holds other values (it is then left to the caller, and never tried again).
    std::optional<std::int64_t> packAndCount(const kb::Model& model, int state,
                                             const Word* species);

private:
    enum class Status : std::uint8_t { Unknown, Binary, Other };
    Status status(int state) const {
        return state >= 0 && state < int(status_.size()) ? status_[size_t(state)] : Status::Unknown;
    }

    const void* matrix_ = nullptr;
    int species_ = 0, states_ = 0, words_ = 0;
    std::vector<Status> status_;
    // words_ words per state, allocated with the first packed column and left unset: each
    // column's words are written whole before they are read, and the pages of columns never
    // packed are never touched.
    std::unique_ptr<Word[]> bits_;
};

}  // namespace engine
