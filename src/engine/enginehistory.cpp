// The engine's answers taken back: a forgotten answer, Undo and Redo.
#include "engine/engine.h"

namespace engine {

bool Engine::forgetAnswer(const QString& objectKey) {
    const auto object = tables_.objectIndex(objectKey);
    if (!object) return false;
    const ObjectRow& o = tables_.objects[size_t(*object)];
    bool answered = false;
    for (int s = o.firstState; s < o.firstState + o.stateCount; ++s)
        if (s >= 0 && size_t(s) < state_.StateChoice.size() && state_.StateChoice[size_t(s)] != 0)
            answered = true;
    if (!answered) return false;
    // The same path as a confirmation without a highlighted cell, so the dependants are
    // cleared exactly as the answer path clears them; the open question is put back after.
    const CurrentQuestion open = state_.question;
    setQuestion(o);
    state_.question.SelectedChoice = -1;
    Valid_Descripteur();
    state_.question = open;
    // The picture of that question, if it is open, no longer shows an answer.
    if (KeyTables::fold(open.CurrentObject) == KeyTables::fold(o.key))
        state_.question.SelectedChoice = -1;
    return true;
}

namespace {
Description descriptionOf(const IdentificationState& state) {
    return Description{state.StateChoice, state.FrameState};
}
}  // namespace

void Engine::restartHistory() {
    history_.restart(descriptionOf(state_));
}

bool Engine::rememberDescription() {
    return history_.record(descriptionOf(state_));
}

namespace {
bool putBack(const Description* d, IdentificationState& state) {
    if (!d) return false;
    state.StateChoice = d->StateChoice;
    state.FrameState = d->FrameState;
    return true;
}
}  // namespace

bool Engine::undo() {
    return putBack(history_.undo(), state_);
}

bool Engine::redo() {
    return putBack(history_.redo(), state_);
}

}  // namespace engine
