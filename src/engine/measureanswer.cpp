#include "engine/measureanswer.h"

#include "engine/engine.h"

namespace engine {

MeasureChoice chooseMeasure(const KeyTables& tables, const QString& key, const QString& typed) {
    MeasureChoice choice;
    const kb::Measure* measure = tables.measures.of(key);
    const auto index = tables.objectIndex(key);
    if (!measure || !index) return choice;
    const auto value = kb::Measures::parseValue(typed);
    if (!value) {
        choice.outcome = MeasureChoice::Outcome::NotANumber;
        return choice;
    }
    const ObjectRow& object = tables.objects[size_t(*index)];
    const int state = measure->stateOf(*value);
    if (state < object.firstState || state >= object.firstState + object.stateCount) {
        choice.outcome = MeasureChoice::Outcome::OutOfRange;
        return choice;
    }
    choice.outcome = MeasureChoice::Outcome::Chosen;
    choice.state = state;
    choice.text = measure->valueText(*value);
    return choice;
}

MeasureChoice answerMeasure(Engine& engine, const QString& key, const QString& typed) {
    const MeasureChoice choice = chooseMeasure(engine.tables(), key, typed);
    if (choice.outcome != MeasureChoice::Outcome::Chosen || !engine.openQuestion(key))
        return choice;
    CurrentQuestion& q = engine.question();
    q.SelectedChoice = choice.state - q.ObjectFirstState;
    engine.Valid_Descripteur();
    engine.state().typedAnswers.insert(KeyTables::fold(key), {choice.state, choice.text});
    return choice;
}

}  // namespace engine
