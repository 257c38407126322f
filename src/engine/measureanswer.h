#pragma once

#include "engine/keytables.h"

#include <QString>

namespace engine {

class Engine;

// What a value typed for a measured question chooses.
struct MeasureChoice {
    enum class Outcome { Chosen, NotMeasured, NotANumber, OutOfRange };
    Outcome outcome = Outcome::NotMeasured;
    int state = -1;  // the one state whose range holds the value
    QString text;    // the answer as the questions panel shows it: "37 mm"
};

// The state of question `key` whose range holds the typed value. The ranges never overlap,
// so a value on a bound two states share picks the one the bound belongs to: the state a
// taxon shows whenever its values reach that bound.
MeasureChoice chooseMeasure(const KeyTables& tables, const QString& key, const QString& typed);

// Answers question `key` with a typed value as confirming its picture of choices with that
// state framed does, and keeps the value as the answer shown. The caller refreshes.
MeasureChoice answerMeasure(Engine& engine, const QString& key, const QString& typed);

}  // namespace engine
