#pragma once

#include "engine/keytables.h"
#include "kb/basetexts.h"

namespace engine {

// Copies into `tables` the texts of `own` (the tables as loaded), replaced by those of
// `language` where `texts` gives them: the questions, the states, the character-toolbar
// captions and tips and the group headings. Nothing else of the tables changes, so the
// ranking and the search never depend on the language.
void applyTextLanguage(KeyTables& tables, const KeyTables& own, const kb::BaseTexts& texts,
                       const QString& language);

}  // namespace engine
