#pragma once

#include "engine/keytables.h"
#include "platform/textids.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace kb {
class Model;
}

namespace engine {

// An interface text by English number and language (0 English, 1 Spanish, 2 French).
using LanguageTextLookup = std::function<std::optional<QString>(int key, int language)>;

// The interface texts the web engine shows itself: the legend's "species at" (and the text
// standing in for it), the messages of the search and those of opening an identification file.
inline constexpr int WebEngineTexts[] = {
    TextId::Unavailable,       TextId::NoMoreDiscriminant, TextId::TryUnusedQuestions,
    TextId::OnlyOneSpecies,    TextId::LegendSpeciesAt,    TextId::QntOfAnotherLength,
    TextId::QntOfAnotherBase,  TextId::SpeciesAt,          TextId::MeasurePrompt,
    TextId::MeasureNotANumber, TextId::MeasureOutOfRange,  TextId::UncodedAnswers,
    TextId::FullyDescribed};

// Everything the web engine ranks, proposes, validates and draws with, as the script
// "globalThis.VIREKA_KEY = {...};": the model's counts, names, weights and "Joker" flags,
// the matrix bit-packed in base64, and the tables with their look-ups already resolved, so
// that the web engine never folds case nor reads a table. The format is described in
// web/CONTRACT.md. Empty when the packed matrix would pass WebMatrixLimit bytes, more than a
// browser can hold as one text.
inline constexpr qint64 WebMatrixLimit = qint64(256) << 20;
QByteArray webKeyScript(const kb::Model& model, const KeyTables& tables,
                        const LanguageTextLookup& texts);

// The matrix as packed there: every value minus the smallest, in the fewest bits that hold
// the largest difference, cells in the model's order (species varying fastest), the bits of
// each cell from the lowest, bit i of the stream in byte i/8 at bit i%8.
// Questions answered one state at a time are written more briefly: when, for every species,
// the states of a question all hold the smallest value but at most one holding the next,
// the question's cells become one number per species, the position of that state (k + 1,
// 0 for none), in the fewest bits that hold its state count. `choiceObjects` lists those
// questions in key order, their numbers are in `choices` (question by question, species
// fastest), and `bytes` then holds only the states no listed question covers. A key of
// 10,000 species and 1,500 such questions takes a third of the room this way.
struct PackedMatrix {
    int offset = 0;
    int bits = 0;
    QByteArray bytes;
    std::vector<int> choiceObjects;
    QByteArray choices;
};
PackedMatrix packMatrix(const kb::Model& model, const KeyTables* tables = nullptr);

}  // namespace engine
