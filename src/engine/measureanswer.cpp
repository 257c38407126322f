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
    choice.value = *value;
    return choice;
}

MeasureChoice answerMeasure(Engine& engine, const QString& key, const QString& typed) {
    const MeasureChoice choice = chooseMeasure(engine.tables(), key, typed);
    if (choice.outcome != MeasureChoice::Outcome::Chosen || !engine.openQuestion(key))
        return choice;
    CurrentQuestion& q = engine.question();
    q.SelectedChoice = choice.state - q.ObjectFirstState;
    engine.Valid_Descripteur();
    engine.state().typedAnswers.insert(KeyTables::fold(key),
                                       {choice.state, choice.text, choice.value});
    return choice;
}

namespace {

// The chosen states of a question, at most two: enough to tell an only answer.
std::vector<int> chosenStates(const IdentificationState& state, const ObjectRow& o) {
    std::vector<int> chosen;
    for (int s = o.firstState; s < o.firstState + o.stateCount && chosen.size() < 2; ++s)
        if (s >= 0 && size_t(s) < state.StateChoice.size() && state.StateChoice[size_t(s)] != 0)
            chosen.push_back(s);
    return chosen;
}

}  // namespace

std::vector<TypedValue> typedValuesToKeep(const Engine& engine) {
    const KeyTables& tables = engine.tables();
    const IdentificationState& state = engine.state();
    std::vector<TypedValue> kept;
    for (const ObjectRow& o : tables.objects) {
        const auto typed = state.typedAnswers.constFind(KeyTables::fold(o.key));
        if (typed == state.typedAnswers.constEnd() || !tables.measures.of(o.key)) continue;
        if (chosenStates(state, o) == std::vector<int>{typed->state})
            kept.push_back({typed->state, typed->value});
    }
    return kept;
}

void restoreTypedValues(Engine& engine, const std::optional<std::vector<TypedValue>>& kept) {
    const KeyTables& tables = engine.tables();
    IdentificationState& state = engine.state();
    state.typedAnswers.clear();
    state.measuresNotKept.clear();
    QHash<int, double> byState;  // the first value kept for each state
    for (const TypedValue& v : kept.value_or(std::vector<TypedValue>{}))
        if (!byState.contains(v.state)) byState.insert(v.state, v.value);
    for (const ObjectRow& o : tables.objects) {
        const kb::Measure* measure = tables.measures.of(o.key);
        const std::vector<int> chosen = chosenStates(state, o);
        if (!measure || chosen.empty()) continue;
        const QString key = KeyTables::fold(o.key);
        bool offered = !kept;
        for (int s = o.firstState; s < o.firstState + o.stateCount; ++s) {
            const auto value = byState.constFind(s);
            if (value == byState.constEnd()) continue;
            offered = true;
            if (chosen == std::vector<int>{s} && measure->stateOf(*value) == s) {
                state.typedAnswers.insert(key, {s, measure->valueText(*value), *value});
                break;
            }
        }
        if (offered && !state.typedAnswers.contains(key)) state.measuresNotKept.insert(key);
    }
}

}  // namespace engine
