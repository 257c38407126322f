#include "authoring/evaluation/effort.h"

#include "authoring/evaluation/keymatrix.h"
#include "engine/engine.h"
#include "kb/model.h"
#include "platform/silentdialogs.h"

#include <algorithm>

namespace authoring {

namespace {

class Simulation {
public:
    Simulation(engine::Engine& engine, const KeyMatrix& matrix) : engine_(engine), matrix_(matrix) {
        answerOf_.assign(size_t(matrix.speciesCount()), -1);
    }

    // The engine has ranked the description reached after `depth` answers.
    void visit(std::vector<int> species, int depth) {
        const auto& st = engine_.state();
        if (st.TopSpeciesCount == 1 && !st.RankTable.species.empty()) {
            const int top = st.RankTable.species[0];
            const auto it = std::find(species.begin(), species.end(), top);
            if (it != species.end()) {
                answerOf_[size_t(top)] = depth;
                species.erase(it);
            }
        }
        if (species.empty()) return;
        follow(std::move(species), depth, engine_.Maitre_Discriminant());
    }

    int answers(int species) const { return answerOf_[size_t(species)]; }

private:
    void follow(std::vector<int> species, int depth, engine::SearchOutcome outcome) {
        if (outcome != engine::SearchOutcome::QuestionOpened) return;  // never alone at the top
        const auto index = engine_.tables().objectIndex(engine_.question().CurrentObject);
        if (!index) return;
        const int q = *index;
        const int first = matrix_.question(q).firstState;
        std::map<int, std::vector<int>> byState;  // -1: shows none of the states
        for (const int s : species) byState[matrix_.firstShownState(q, s)].push_back(s);
        const engine::IdentificationState saved = engine_.state();
        for (auto& [state, group] : byState) {
            engine_.state() = saved;
            if (state < 0) {
                follow(std::move(group), depth, engine_.skipQuestion());
                continue;
            }
            engine_.question().SelectedChoice = state - first;
            engine_.Valid_Descripteur();
            engine_.Actualise_Identification();
            visit(std::move(group), depth + 1);
        }
        engine_.state() = saved;
    }

    engine::Engine& engine_;
    const KeyMatrix& matrix_;
    std::vector<int> answerOf_;
};

}  // namespace

EffortReport simulateEffort(const kb::Model& model, const engine::KeyTables& tables,
                            const KeyMatrix& matrix, EffortLimits limits) {
    EffortReport report;
    const int n = matrix.speciesCount();
    if (n <= 0) return report;
    if (limits.species > 0 && n > limits.species) {
        report.sampled = true;
        report.step = (n + limits.species - 1) / limits.species;
    }
    for (int s = 0; s < n; s += report.step) report.species.push_back(s);

    // The simulated user reads no message: every question is answered No, so skipped
    // questions are not tried again (the species shows none of their states).
    platform::SilentDialogs dialogs;
    engine::Engine engine(model, tables, dialogs, [](int) { return std::optional<QString>(); });
    engine.Nettoye();
    engine.Actualise_Identification();
    Simulation simulation(engine, matrix);
    simulation.visit(report.species, 0);

    double sum = 0;
    for (const int s : report.species) {
        const int a = simulation.answers(s);
        report.answers.push_back(a);
        if (a < 0) continue;
        ++report.reached;
        ++report.distribution[a];
        sum += a;
        if (report.worst < 0 || a > report.worstAnswers) {
            report.worst = s;
            report.worstAnswers = a;
        }
    }
    if (report.reached) report.mean = sum / report.reached;
    return report;
}

}  // namespace authoring
