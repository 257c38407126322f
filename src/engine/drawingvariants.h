#pragma once

#include "engine/keytables.h"
#include "platform/int16.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace engine {

enum class ConditionTest { Holds, Fails, UnknownCode };

// Tests the condition list of a "Hierarchie" row: every state before the first "Fin" must be
// chosen. A list without "Fin" never holds. On an unknown state code, *unknownCode names it.
ConditionTest testConditions(const VariantRow& row, const std::vector<platform::i16>& choice,
                             QString* unknownCode);

// The "Hierarchie" row that drawing d shows under the description: rows are tried in key
// order and the first whose conditions hold wins. A row naming a state code that
// "Caracteres" lacks does not match; onUnknown hears of each such code as it is tried.
const VariantRow* matchingVariant(const std::vector<VariantRow>& rows, int drawing,
                                  const std::vector<platform::i16>& choice,
                                  const std::function<void(const QString&)>& onUnknown = {});

// The layer file of every drawing 0 .. count - 1 under the description, found as the drawing
// finds them (variants, folders, suffixes); empty where no row matches or the path would
// lead out of the drawing folder.
QStringList layerPaths(const std::vector<VariantRow>& rows, int count,
                       const std::vector<platform::i16>& choice, const QString& drawingDir);

// The path of drawing d's variant: the drawing folder, d in at least two digits, "\" and the
// name; a name not ending in "WMF" takes the suffix that drawing 0 set (its last six
// characters, when drawing 0's own name ends in "WMF").
QString variantPath(const QString& drawingDir, int drawing, const QString& name, QString& suffix);

// The suffix a variant name gives the layers after it: its last six characters.
QString variantSuffix(const QString& name);

// The pictures of the contradiction marks, in the "CONTRA" folder of the drawings: a layer
// (the mark's "Popup" and the variant suffix of drawing 0) or a button icon (".ico").
QString contradictionLayerPath(const QString& drawingDir, const QString& popup,
                               const QString& suffix);
QString contradictionIconPath(const QString& drawingDir, const QString& popup);

}  // namespace engine
