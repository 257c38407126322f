#pragma once

#include <cstdint>
#include <vector>

namespace authoring {

class KeyMatrix;

// Which species the questions of a key can tell apart. Two species are separated by a
// question when both are coded for it and they share none of its states (KeyMatrix says
// what "coded" is).
struct SeparationReport {
    // Species no question separates from one another, grouped: each species of a group is
    // inseparable from at least one other of it. Groups and their species in index order.
    std::vector<std::vector<int>> groups;
    // For each group, up to three questions that come closest to separating it: those on
    // which the most of its pairs show different states (overlapping, or one uncoded).
    std::vector<std::vector<int>> closest;
    // True when every pair of the group is inseparable; false when some pair of it is
    // separated (a polymorphic species then links two that are not).
    std::vector<bool> groupIsWhole;

    // Pairs that exactly one question separates, with that question.
    struct Fragile {
        int a = 0, b = 0, question = 0;
    };
    std::vector<Fragile> fragile;

    // By question: the pairs of species it separates and the species coded for it.
    std::vector<std::int64_t> pairsSeparated;
    std::vector<int> codedSpecies;

    // False when a search stopped at its budget of pair comparisons (the lists then hold
    // what was found before it).
    bool complete = true;
};

// Candidate groups come from splitting the species by one question after another: a
// question splits a group along the states its coded species share, and a species uncoded
// for it goes into every part. Only species left together by every question are compared
// pair by pair, so the work follows the number of near-identical species, not its square.
// The pairs that one question alone separates are found the same way with each question
// left out in turn, by halving the set of questions left out (each question is applied
// about log2(questions) times).
struct SeparationLimits {
    std::int64_t pairComparisons = 50'000'000;
};
SeparationReport analyseSeparation(const KeyMatrix& matrix, SeparationLimits limits = {});

}  // namespace authoring
