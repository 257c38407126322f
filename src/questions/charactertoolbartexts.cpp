#include "questions/charactertoolbars.h"

namespace questions {

std::vector<CharacterToolbars::Button> CharacterToolbars::shown(const std::vector<Button>& rows,
                                                                bool questionBar) const {
    if (!texts_) return rows;
    std::vector<Button> out = rows;
    for (size_t k = 0; k < out.size(); ++k) {
        if (!out[k].exists) continue;
        out[k].caption = texts_(questionBar, int(k) + 1, false, rows[k].caption);
        out[k].tipText = texts_(questionBar, int(k) + 1, true, rows[k].tipText);
    }
    return out;
}

// Both toolbars again with the texts of the lookup. A character toolbar that shows the
// contradiction icons keeps them: the next rebuild of the display takes the new texts.
bool CharacterToolbars::retranslate() {
    bool ok = true;
    if (deter_ && !contradictions_) {
        ok = fill(deter_, shown(deterRows_, false), true);
        setWidth(deter_);
    }
    if (quest_) {
        const QAction* skip = entry(quest_, 2 * int(questRows_.size()) - 1);
        const bool skipVisible = !skip || skip->isVisible();
        ok = fill(quest_, shown(questRows_, true), false) && ok;
        setWidth(quest_);
        setSkipButtonVisible(skipVisible);
    }
    return ok;
}

}  // namespace questions
