#pragma once

#include "engine/currentquestion.h"
#include "platform/int16.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <cstdint>
#include <vector>

namespace kb {
class Model;
}

namespace engine {

using platform::i16;

// One layer of the drawing as the engine knows it: the upper-cased path of the picture loaded
// in it (empty: nothing loaded). The picture itself belongs to the window.
struct DrawingLayer {
    QString FileName;
};

// Row 0: score of the species at each rank; row 1: its species index. Column 0 is the best.
struct RankRows {
    std::vector<std::int64_t> score;
    std::vector<int> species;
};

// The description of the specimen and everything ranked from it. Scores and percentages are
// kept in 64 bits so that a knowledge base whose scores pass 16 bits still ranks exactly.
// A value typed for a measured question and the state it chose.
struct TypedAnswer {
    int state = -1;
    QString text;  // "37 mm"
    double value = 0;
};

struct IdentificationState {
    std::vector<i16> StateChoice;  // 1 chosen, 0 not
    std::vector<i16> FrameState;   // -1 answered, 0 not
    std::vector<std::int64_t> SpeciesScore;
    RankRows RankTable;
    std::vector<std::int64_t> RankPercent;
    // By rank: how many answered questions the species leaves uncoded; empty when the base
    // keeps no record of uncoded cells.
    std::vector<int> RankUnknown;
    int AnsweredQuestions = 0;  // questions with a chosen state, counted with RankUnknown
    int TopSpeciesCount = 0;
    // The species list: the rank position of each line, in line order.
    std::vector<int> ListedRanks;
    QString Legend;
    bool DescriptionModified = false;
    bool SkippedQuestions = false;
    std::vector<bool> JokerFlag;  // by "Desc_Num": the question may be proposed
    std::vector<DrawingLayer> DrawingTable;
    int ExtraLayerCount = 0;
    CurrentQuestion question;
    // By case-folded question key; an answer is shown as typed only while its state is the
    // question's only chosen state.
    QHash<QString, TypedAnswer> typedAnswers;
    // Case-folded keys of the measured questions answered in an opened file that kept no value
    // typed for them; the mark goes when the question is answered again.
    QSet<QString> measuresNotKept;

    // Sizes everything from the model's counts, as start-up does: nothing chosen, rank k
    // holding species k, the loaded "Joker" flags, empty layers.
    void reset(const kb::Model& model);
};

}  // namespace engine
