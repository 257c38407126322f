#pragma once

#include "engine/engine.h"
#include "engine/keytables.h"
#include "kb/model.h"

#include <memory>
#include <ostream>
#include <random>
#include <vector>

// Readable texts in test failures.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace testing_support {

// A knowledge base built in memory: the model's counts and vectors and the engine's tables,
// for the computing tests. Species are named "Sp<i>", state j has the code "E<j>", question r
// has the key "O<rr>" (key order = r), descriptor r and frame r.
class MemoryKey {
public:
    MemoryKey(int species, const std::vector<int>& statesPerObject, int drawings = 0);

    kb::Model model;
    engine::KeyTables tables;

    void set(int species, int state, int value) {
        model.Matrix.writable()[index(species, state)] = value;
    }
    void weight(int state, int value) { model.StateWeight[size_t(state)] = platform::i16(value); }
    int firstState(int object) const { return tables.objects[size_t(object)].firstState; }
    static QString objectKey(int r);
    static QString stateCode(int j);
    // "Descendance" row: the question depends on a state.
    void depend(int object, int parentState);
    void variant(int drawing, const QString& name, const QStringList& codes);
    // Call after changing the tables: rebuilds the look-ups and the loaded "Joker" flags.
    void finish();

private:
    size_t index(int species, int state) const {
        return size_t(species) + size_t(model.SpeciesCount) * size_t(state);
    }
};

// A random small key: weights, a 0/1 matrix with a few other values, "Joker" flags, acyclic
// dependencies and variants. Same seed, same key.
std::unique_ptr<MemoryKey> randomKey(std::mt19937& rng, bool singleStates = false);

// English interface texts from the string table compiled into the program.
engine::TextLookup englishTexts();

}  // namespace testing_support
