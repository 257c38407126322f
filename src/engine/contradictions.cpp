#include "engine/contradictions.h"

#include "engine/drawingvariants.h"
#include "kb/model.h"

namespace engine {

QString Suffixe_Variante(const KeyTables& tables, const std::vector<i16>& choice) {
    for (const VariantRow& row : tables.variants) {
        if (row.drawing != 0) continue;
        switch (testConditions(row, choice, nullptr)) {
            case ConditionTest::Holds:
                return variantSuffix(row.name);
            case ConditionTest::UnknownCode:
                return QString();
            case ConditionTest::Fails:
                break;
        }
    }
    return QString();
}

std::vector<ContradictedAnswer> contradictedAnswers(const kb::Model& model, const KeyTables& tables,
                                                    const IdentificationState& state, int species) {
    std::vector<ContradictedAnswer> found;
    if (species < 0 || species >= model.SpeciesCount) return found;
    const int states = std::min(int(state.StateChoice.size()), int(model.StateCount));
    for (int r = 0; r < int(tables.objects.size()); ++r) {
        const ObjectRow& object = tables.objects[size_t(r)];
        for (int s = object.firstState; s < object.firstState + object.stateCount; ++s) {
            if (s < 0 || s >= states || state.StateChoice[size_t(s)] == 0) continue;
            if (model.matrix(species, s) != 1) found.push_back({r, s});
        }
    }
    return found;
}

}  // namespace engine
