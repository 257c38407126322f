#pragma once

#include "engine/currentquestion.h"
#include "engine/keytables.h"
#include "kb/model.h"
#include "platform/int16.h"

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace reference {

using platform::i16;

// The identification computed the plain way, step by step as it was first written: 16-bit
// integers where an overflow stops the step, an exchange sort, a scan of every dependency row
// for each state, and a count of the top species per question. The engine must give the same
// results wherever this one does not overflow.
class Reference {
public:
    Reference(const kb::Model& model, const engine::KeyTables& tables);

    std::vector<i16> StateChoice, FrameState, SpeciesScore, RankPercent;
    std::vector<i16> RankScore, RankSpecies;  // rows 0 and 1 of the rank table
    std::vector<bool> JokerFlag;
    int TopSpeciesCount = 0;
    QStringList lines;
    QString legend;

    // False when a 16-bit overflow stopped it: the list and the legend stay as they were.
    bool Classe_Especes(int threshold, const QString& speciesAt);
    std::vector<double> discriminantScores(int topCount) const;
    static int bestRow(const std::vector<double>& scores);
    void Valid_Descripteur(const engine::CurrentQuestion& q);
    void Nettoie_Descendance(int state);
    // (object row, state) of every chosen state the species does not show.
    std::vector<std::pair<int, int>> contradicted(int species) const;

private:
    bool Calcule_Scores();
    void Trie_Scores();
    bool Calcule_Pourcentages();
    int findObject(const QString& key) const;

    const kb::Model& model_;
    const engine::KeyTables& tables_;
};

}  // namespace reference
