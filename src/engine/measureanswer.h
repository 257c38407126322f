#pragma once

#include "engine/keytables.h"
#include "engine/typedvaluestrailer.h"

#include <QString>

namespace engine {

class Engine;

// What a value typed for a measured question chooses.
struct MeasureChoice {
    enum class Outcome { Chosen, NotMeasured, NotANumber, OutOfRange };
    Outcome outcome = Outcome::NotMeasured;
    int state = -1;  // the one state whose range holds the value
    QString text;    // the answer as the questions panel shows it: "37 mm"
    double value = 0;
};

// The state of question `key` whose range holds the typed value. The ranges never overlap,
// so a value on a bound two states share picks the one the bound belongs to: the state a
// taxon shows whenever its values reach that bound.
MeasureChoice chooseMeasure(const KeyTables& tables, const QString& key, const QString& typed);

// Answers question `key` with a typed value as confirming its picture of choices with that
// state framed does, and keeps the value as the answer shown. The caller refreshes.
MeasureChoice answerMeasure(Engine& engine, const QString& key, const QString& typed);

// The typed values an identification file keeps: those the questions panel shows, the
// question's typed state being its only chosen state, in question order.
std::vector<TypedValue> typedValuesToKeep(const Engine& engine);

// After a file is read into the description: the typed values it kept are shown again where
// each still lies in the range of its question's only chosen state. A measured question
// answered without a value shown is marked as having lost it when the file kept no values at
// all (`kept` empty: written before values were kept, or the values were damaged) or kept a
// value for it that no longer fits; a file with values and none for a question had it
// answered by its picture.
void restoreTypedValues(Engine& engine, const std::optional<std::vector<TypedValue>>& kept);

}  // namespace engine
