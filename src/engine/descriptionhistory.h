#pragma once

#include "platform/int16.h"

#include <cstddef>
#include <vector>

namespace engine {

// The answers of one moment: what Undo and Redo put back.
struct Description {
    std::vector<platform::i16> StateChoice;
    std::vector<platform::i16> FrameState;
    bool operator==(const Description&) const = default;
};

// The descriptions after each confirmed answer, forgotten answer and New, oldest first, and
// the one the window shows. Recording after an Undo drops the steps that were undone, as
// every editor does. The oldest steps go first once `limit` are kept.
class DescriptionHistory {
public:
    explicit DescriptionHistory(std::size_t limit = 500) : limit_(limit < 2 ? 2 : limit) {}

    // Forgets every step: `start` is the only one (start-up, an identification opened).
    void restart(Description start);
    // A new step, unless it is the description already current; true when recorded.
    bool record(Description next);
    bool canUndo() const { return at_ > 0; }
    bool canRedo() const { return at_ + 1 < steps_.size(); }
    // The description to put back; nullptr when there is none.
    const Description* undo();
    const Description* redo();
    std::size_t size() const { return steps_.size(); }
    std::size_t position() const { return at_; }

private:
    std::vector<Description> steps_;
    std::size_t at_ = 0;
    std::size_t limit_;
};

}  // namespace engine
