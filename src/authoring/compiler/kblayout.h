#pragma once

#include "authoring/compiler/kbsource.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace authoring {

// What the compiler derives from a checked source: the numbering of species, states and
// questions as the program will see it, and the counts of the parameters.
struct KbLayout {
    QList<int> speciesOrder;            // "Flore" order (by name) -> index in source
    QHash<QString, int> stateIndex;     // state code (upper case) -> state number
    QHash<QString, int> questionIndex;  // question key (upper case) -> index in source
    QList<int> firstState;              // per question, its "Index_Car"
    int stateCount = 0;
    int frameCount = 1;
    int constraintCount = 1;
    QStringList variantSuffixes;  // of drawing 0, one per variant ("" when none)
    QStringList layerFiles;       // every drawing file that may be loaded
    QStringList contraFiles;      // every contradiction picture that may be loaded
};

}  // namespace authoring
