#include "engine/tickedanswer.h"

#include "engine/validation.h"

#include <algorithm>

namespace engine {

namespace {

// The question's states that lie inside the description: [begin, end).
std::pair<int, int> questionStates(const IdentificationState& state) {
    const CurrentQuestion& q = state.question;
    const int begin = std::max(q.ObjectFirstState, 0);
    const int end =
        std::min(q.ObjectFirstState + q.ObjectStateCount, int(state.StateChoice.size()));
    return {begin, std::max(begin, end)};
}

}  // namespace

std::vector<int> chosenCells(const IdentificationState& state) {
    const auto [begin, end] = questionStates(state);
    std::vector<int> cells;
    for (int j = begin; j < end; ++j)
        if (state.StateChoice[size_t(j)] != 0) cells.push_back(j - state.question.ObjectFirstState);
    return cells;
}

void Valid_Etats(const KeyTables& tables, IdentificationState& state,
                 const std::vector<int>& cells) {
    const auto [begin, end] = questionStates(state);
    const int first = state.question.ObjectFirstState;
    std::vector<bool> ticked(size_t(end - begin), false);
    for (int cell : cells)
        if (cell >= 0 && first + cell >= begin && first + cell < end)
            ticked[size_t(first + cell - begin)] = true;
    auto& sc = state.StateChoice;
    bool same = true;
    for (int j = begin; j < end; ++j)
        same = same && (sc[size_t(j)] == 1) == ticked[size_t(j - begin)];
    if (same) return;
    // A state given up takes its dependants with it; one kept keeps them.
    for (int j = begin; j < end; ++j)
        if (sc[size_t(j)] != 0 && !ticked[size_t(j - begin)]) Nettoie_Descendance(tables, state, j);
    bool any = false;
    for (int j = begin; j < end; ++j) {
        sc[size_t(j)] = ticked[size_t(j - begin)] ? 1 : 0;
        any = any || ticked[size_t(j - begin)];
    }
    const int frame = state.question.ObjectFrame;
    if (frame >= 0 && frame < int(state.FrameState.size()))
        state.FrameState[size_t(frame)] = any ? -1 : 0;
}

}  // namespace engine
