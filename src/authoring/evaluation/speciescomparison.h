#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace authoring {

class KeyMatrix;

// Two to five species side by side, question by question.
struct ComparisonRow {
    int question = 0;
    std::vector<QString> cells;  // each species' states in words
    // A cell is marked when its states are not those of a majority of the species compared
    // (with two species, both cells of a row where they differ).
    std::vector<bool> marked;
    bool separates = false;  // some two of them are coded and share no state
};

struct SpeciesComparison {
    std::vector<int> species;
    std::vector<ComparisonRow> differing;  // in key order
    std::vector<ComparisonRow> agreeing;
};

inline constexpr int MinCompared = 2;
inline constexpr int MaxCompared = 5;

// The texts a comparison is written with, so the program can give them in its language.
struct ComparisonTexts {
    QString title = QStringLiteral("Comparison");
    QString differ = QStringLiteral("Questions where they differ");
    QString agree = QStringLiteral("Questions where they agree");
    QString question = QStringLiteral("Question");
    QString uncoded = QStringLiteral("not coded");
    QString anyState = QStringLiteral("any state");
    QString separates = QStringLiteral("separates them");
};

SpeciesComparison compareSpecies(const KeyMatrix& matrix, const std::vector<int>& species,
                                 const ComparisonTexts& texts = {});

// For a terminal: each question, then each species' states, marked "*" where they differ.
QString comparisonText(const KeyMatrix& matrix, const SpeciesComparison& comparison,
                       bool withAgreeing, const ComparisonTexts& texts = {});
// One HTML page holding the table (base text escaped), for the document view and printing.
QString comparisonHtml(const KeyMatrix& matrix, const SpeciesComparison& comparison,
                       bool withAgreeing, const ComparisonTexts& texts = {});

}  // namespace authoring
