#include "engine/tabletexts.h"

#include "engine/engine.h"

namespace engine {

using Kind = kb::BaseTexts::Kind;

void applyTextLanguage(KeyTables& tables, const KeyTables& own, const kb::BaseTexts& texts,
                       const QString& language) {
    for (size_t i = 0; i < tables.objects.size() && i < own.objects.size(); ++i)
        tables.objects[i].tipText =
            texts.text(language, Kind::Question, own.objects[i].key, own.objects[i].tipText);
    for (auto it = own.stateTexts.cbegin(); it != own.stateTexts.cend(); ++it) {
        const auto code = own.stateCodes.constFind(it.key());
        tables.stateTexts[it.key()] = code == own.stateCodes.cend()
                                          ? it.value()
                                          : texts.text(language, Kind::State, *code, it.value());
    }
    for (size_t k = 0; k < tables.deterButtons.size() && k < own.deterButtons.size(); ++k) {
        if (!own.deterButtons[k] || !tables.deterButtons[k]) continue;
        const QString key = kb::BaseTexts::buttonKey(false, int(k) + 1);
        tables.deterButtons[k]->caption =
            texts.text(language, Kind::Caption, key, own.deterButtons[k]->caption);
        tables.deterButtons[k]->tipText =
            texts.text(language, Kind::TipText, key, own.deterButtons[k]->tipText);
    }
    for (auto it = own.groups.cbegin(); it != own.groups.cend(); ++it)
        tables.groups[it.key()].group =
            texts.text(language, Kind::Group, it.value().group, it.value().group);
}

void Engine::setTextLanguage(const kb::BaseTexts& texts, const QString& language) {
    if (texts.isEmpty() && !ownTexts_) return;
    if (!ownTexts_) ownTexts_ = tables_;
    applyTextLanguage(tables_, *ownTexts_, texts, language);
    // The open question shows its text in the new language at once.
    if (const auto row = tables_.objectIndex(state_.question.CurrentObject))
        state_.question.ObjectTipText = tables_.objects[size_t(*row)].tipText;
}

}  // namespace engine
