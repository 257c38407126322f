#pragma once

#include "engine/keytables.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace kb {
class Model;
}

namespace authoring {

// The matrix of a knowledge base read question by question: which states of a question each
// species shows, whether it is coded for it at all, and the words of the question, its states
// and the species. The evaluation, the generated key and the comparison all read the base
// through it, so that "coded" and "separated" mean the same thing in each of them.
//
// A species is uncoded for a question when it shows none of its states, or every one of them
// (when the question has two states or more): a base records no "unknown" of its own, and an
// author who does not know a value codes every state so that the species is never excluded.
class KeyMatrix {
public:
    KeyMatrix(const kb::Model& model, const engine::KeyTables& tables);

    int speciesCount() const { return speciesCount_; }
    int questionCount() const { return int(tables_.objects.size()); }
    const engine::ObjectRow& question(int q) const { return tables_.objects[size_t(q)]; }

    // The states of question q that species sp shows, as a bit set of words(q) words (bit l:
    // the question's state l). Written into out.
    int words(int q) const { return (question(q).stateCount + 63) / 64; }
    void states(int q, int sp, std::uint64_t* out) const;
    // The same for a question of at most 64 states.
    std::uint64_t states64(int q, int sp) const;
    bool coded(int q, int sp) const;
    // The first state of q the species shows, as a state number; -1 when it shows none.
    int firstShownState(int q, int sp) const;
    // True when both are coded for q and share no state.
    bool separates(int q, int a, int b) const;

    QString speciesName(int sp) const;
    QString speciesCode(int sp) const { return codes_[size_t(sp)]; }
    QString speciesFamily(int sp) const { return families_[size_t(sp)]; }
    // The question's text ("TipText"), or its key when it has none.
    QString questionText(int q) const;
    // A state's text, or its code, or its number.
    QString stateText(int state) const;
    // The mean weight of the question's states: how far an author trusts it.
    double questionWeight(int q) const;
    // True when the search may ever propose the question ("Joker") and it has two states.
    bool proposable(int q) const;

    const kb::Model& model() const { return model_; }

    // Questions of at most this many states keep their species' state sets in memory (two
    // bytes a species), read once from the matrix; larger ones are read from it each time.
    static constexpr int CachedStates = 16;
    bool cached(int q) const { return offset_[size_t(q)] >= 0; }
    // The state sets of a cached question, one a species; null when it is not cached.
    const std::uint16_t* cachedSets(int q) const {
        return cached(q) ? sets_.data() + offset_[size_t(q)] : nullptr;
    }

private:
    std::uint64_t readStates64(int q, int sp) const;

    const kb::Model& model_;
    const engine::KeyTables& tables_;
    int speciesCount_ = 0;
    std::vector<QString> codes_, families_;
    std::vector<std::int64_t> offset_;  // by question: first entry in sets_, -1 not cached
    std::vector<std::uint16_t> sets_;
};

}  // namespace authoring
