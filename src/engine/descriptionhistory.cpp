#include "engine/descriptionhistory.h"

namespace engine {

void DescriptionHistory::restart(Description start) {
    steps_.clear();
    steps_.push_back(std::move(start));
    at_ = 0;
}

bool DescriptionHistory::record(Description next) {
    if (!steps_.empty() && steps_[at_] == next) return false;
    if (!steps_.empty()) steps_.resize(at_ + 1);
    steps_.push_back(std::move(next));
    if (steps_.size() > limit_) steps_.erase(steps_.begin());
    at_ = steps_.size() - 1;
    return true;
}

const Description* DescriptionHistory::undo() {
    if (!canUndo()) return nullptr;
    return &steps_[--at_];
}

const Description* DescriptionHistory::redo() {
    if (!canRedo()) return nullptr;
    return &steps_[++at_];
}

}  // namespace engine
