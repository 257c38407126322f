#pragma once

#include <QString>
#include <vector>

namespace authoring {

class KeyMatrix;

// A bracketed dichotomous key generated from the matrix. Every couplet asks one question and
// has two leads; each lead goes on to another couplet or ends at its species.
//
// Couplets are strictly two-way, as printed keys are: when the species of a couplet show
// more than two separate groups of states, the groups are gathered into the two leads so
// that the leads are as even as possible (a reader compares two statements at a time, and
// an even split keeps the paths short). The question of a couplet is the one that scores
// best on: the weight of its states (how far the author trusts it, relative to the
// heaviest question), the share of the remaining species coded for it, and the evenness of
// the split; the first question in key order wins a tie. Questions the search may propose
// ("Joker") are preferred; the others are used only where none of those separates what
// remains. A species uncoded for the question goes down both leads, as in published keys.
struct KeyLead {
    std::vector<int> states;   // the question's states on this lead (state numbers)
    int next = 0;              // the couplet it leads to (number), or 0 for an ending
    std::vector<int> species;  // the ending: one species, or several not separated
};

struct Couplet {
    int number = 0;  // 1, 2, ...
    int from = 0;    // the couplet whose lead comes here (0 for the first)
    int question = 0;
    KeyLead leads[2];
};

struct DichotomousKey {
    std::vector<Couplet> couplets;  // couplets[i].number == i + 1
    int species = 0;
    // Couplets on the way to each ending of each species (a species uncoded somewhere ends
    // more than once): the mean over every species' endings and the longest.
    double meanPath = 0;
    int maxPath = 0;
    int endingsTogether = 0;  // endings of several species that nothing separates
};

DichotomousKey buildDichotomousKey(const KeyMatrix& matrix);

// The endings a species reaches when it follows the key with its own states: at each
// couplet the leads holding one of its states, or both leads when it is uncoded there.
// Each ending is given as its species.
std::vector<std::vector<int>> followKey(const DichotomousKey& key, const KeyMatrix& matrix,
                                        int species);

}  // namespace authoring
