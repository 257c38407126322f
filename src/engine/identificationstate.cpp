#include "engine/identificationstate.h"

#include "kb/model.h"

#include <numeric>

namespace engine {

void IdentificationState::reset(const kb::Model& model) {
    const auto count = [](i16 n) { return size_t(std::max<int>(n, 0)); };
    const size_t species = count(model.SpeciesCount);
    StateChoice.assign(count(model.StateCount), 0);
    FrameState.assign(count(model.FrameCount), 0);
    SpeciesScore.assign(species, 0);
    RankTable.score.assign(species, 0);
    RankTable.species.resize(species);
    std::iota(RankTable.species.begin(), RankTable.species.end(), 0);
    RankPercent.assign(species, 0);
    RankUnknown.clear();
    AnsweredQuestions = 0;
    TopSpeciesCount = 0;
    ListedRanks.clear();
    Legend.clear();
    DescriptionModified = false;
    SkippedQuestions = false;
    JokerFlag = model.JokerFlag;
    DrawingTable.assign(count(model.DrawingCount), DrawingLayer{});
    ExtraLayerCount = 0;
    question = CurrentQuestion{};
}

}  // namespace engine
