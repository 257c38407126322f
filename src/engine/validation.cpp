#include "engine/validation.h"

#include <cstdint>

namespace engine {

void Nettoie_Descendance(const KeyTables& tables, IdentificationState& state, int stateNumber) {
    auto& choice = state.StateChoice;
    const int states = int(choice.size());
    std::vector<bool> followed(size_t(states), false);
    if (stateNumber >= 0 && stateNumber < states) followed[size_t(stateNumber)] = true;
    // Clearing only writes zeros, so the order of the visits does not change the result; an
    // explicit stack keeps deep chains off the call stack.
    std::vector<int> pending{stateNumber};
    while (!pending.empty()) {
        const int s = pending.back();
        pending.pop_back();
        const auto code = tables.codeOfState(s);
        if (!code) continue;
        for (const int objectIndex : tables.dependants(*code)) {
            const ObjectRow& object = tables.objects[size_t(objectIndex)];
            for (int x = object.firstState; x < object.firstState + object.stateCount; ++x) {
                if (x < 0 || x >= states) continue;
                choice[size_t(x)] = 0;
                if (!followed[size_t(x)]) {
                    followed[size_t(x)] = true;
                    pending.push_back(x);
                }
            }
        }
    }
}

namespace {

void setFrame(IdentificationState& state, int frame, i16 value) {
    if (frame >= 0 && frame < int(state.FrameState.size())) state.FrameState[size_t(frame)] = value;
}

}  // namespace

void Valid_Descripteur(const KeyTables& tables, IdentificationState& state) {
    const CurrentQuestion& q = state.question;
    const int first = q.ObjectFirstState;
    const int choice = q.SelectedChoice;
    const int frame = q.ObjectFrame;
    auto& sc = state.StateChoice;
    // States outside the description do not exist: they are neither read nor written.
    const int begin = std::max(first, 0);
    const int end = std::min(first + q.ObjectStateCount, int(sc.size()));

    std::int64_t sum = 0;
    int last = -1;
    for (int j = begin; j < end; ++j) {
        sum += sc[size_t(j)];
        if (sc[size_t(j)] == 1) last = j;
    }
    if (sum == 0 && choice == -1) return;
    if (choice == last - first && sum == 1) return;

    if (last != -1) Nettoie_Descendance(tables, state, last);

    for (int j = begin; j < end; ++j) {
        if (j == first + choice && sc[size_t(j)] == 1) {
            if (frame != -1) setFrame(state, frame, -1);
            return;  // the states after it stay as they are
        }
        sc[size_t(j)] = 0;
    }
    if (frame != -1) setFrame(state, frame, 0);
    if (choice == -1) return;
    const int chosen = first + choice;
    if (chosen >= 0 && chosen < int(sc.size())) sc[size_t(chosen)] = 1;
    if (frame != -1) setFrame(state, frame, -1);
}

}  // namespace engine
