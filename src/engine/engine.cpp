#include "engine/engine.h"

#include "engine/contradictions.h"
#include "engine/discriminantsearch.h"
#include "engine/drawingvariants.h"
#include "engine/ranking.h"
#include "engine/tickedanswer.h"
#include "engine/uncodedanswers.h"
#include "engine/validation.h"
#include "kb/model.h"
#include "platform/dialogs.h"
#include "platform/paths.h"
#include "platform/textids.h"

#include <algorithm>

namespace engine {

Engine::Engine(const kb::Model& model, KeyTables tables, platform::Dialogs& dialogs,
               TextLookup texts, EngineSettings settings)
    : model_(model),
      tables_(std::move(tables)),
      dialogs_(dialogs),
      texts_(std::move(texts)),
      settings_(std::move(settings)) {
    state_.reset(model_);
    restartHistory();
}

void Engine::setDirectories(const QString& dataDir, const QString& drawingDir) {
    settings_.DataDir = dataDir;
    settings_.DrawingDir = drawingDir;
}

QString Engine::text(int key) const {
    if (!texts_) return QString();
    return texts_(key).value_or(QString());
}

void Engine::Nettoye() {
    std::fill(state_.StateChoice.begin(), state_.StateChoice.end(), 0);
    std::fill(state_.FrameState.begin(), state_.FrameState.end(), 0);
    state_.SkippedQuestions = false;
    state_.typedAnswers.clear();
    state_.measuresNotKept.clear();
}

RefreshResult Engine::Actualise_Identification(const LayerLoader& load) {
    RefreshResult result;
    if (!state_.DescriptionModified) {
        result.enableSaveCommands = true;
        state_.DescriptionModified = true;
    }
    QString suffix;  // set by drawing 0, followed by the others
    for (int d = 0; d < model_.DrawingCount; ++d) {
        if (auto fatal = refreshLayer(d, suffix, load, result)) {
            result.fatalPath = fatal;
            return result;
        }
    }
    Classe_Especes();
    result.ranked = true;
    return result;
}

// Rows are tried in key order; the first match wins. A row naming a state that "Caracteres"
// lacks is reported each time it is tried, and does not match.
std::optional<QString> Engine::refreshLayer(int drawing, QString& suffix, const LayerLoader& load,
                                            RefreshResult& result) {
    const VariantRow* row =
        matchingVariant(tables_.variants, drawing, state_.StateChoice, [this](const QString& code) {
            dialogs_.show(QStringLiteral("Erreur : l'état du Caractère '") + code +
                          QStringLiteral("' n'existe pas dans la Table 'Caractères'"));
        });
    if (!row) return std::nullopt;
    const QString path = variantPath(settings_.DrawingDir, drawing, row->name, suffix);
    DrawingLayer& layer = state_.DrawingTable[size_t(drawing)];
    if (path.toUpper() == layer.FileName) return std::nullopt;
    if (!platform::staysInside(settings_.DrawingDir, path)) return path;
    if (load && !load(drawing, path)) return path;
    layer.FileName = path.toUpper();
    result.changedLayers.push_back({drawing, path, true});
    return std::nullopt;
}

QStringList Engine::layerPaths() const {
    return engine::layerPaths(tables_.variants, model_.DrawingCount, state_.StateChoice,
                              settings_.DrawingDir);
}

void Engine::Classe_Especes() {
    Calcule_Scores(model_, state_);
    Trie_Scores(state_);
    Calcule_Pourcentages(model_, state_);
    orderByUncoded(tables_.uncoded, tables_, state_);
    listSpecies(state_, settings_.ListThreshold, &state_.TopSpeciesCount);
    const std::int64_t top = state_.RankPercent.empty() ? 0 : state_.RankPercent[0];
    // The table has no Spanish "species at"; a legend that never changed would hide the
    // ranking, so our own text 1603 stands in for a missing one.
    QString speciesAt =
        texts_ ? texts_(TextId::LegendSpeciesAt).value_or(text(TextId::SpeciesAt)) : QString();
    state_.Legend = legendWithDescribed(legendText(state_.TopSpeciesCount, top, speciesAt), state_,
                                        text(TextId::FullyDescribed));
}

void Engine::setListThreshold(int threshold) {
    settings_.ListThreshold = threshold;
    listSpecies(state_, threshold, nullptr);
}

QString Engine::listLine(int line) const {
    if (line < 0 || line >= listedCount()) return QString();
    const int rank = state_.ListedRanks[size_t(line)];
    return speciesLine(model_, state_, rank) +
           unknownMark(state_, rank, text(TextId::UncodedAnswers));
}

QStringList Engine::listLines() const {
    QStringList lines;
    lines.reserve(listedCount());
    for (int i = 0; i < listedCount(); ++i) lines << listLine(i);
    return lines;
}

int Engine::speciesOfLine(int line) const {
    if (line < 0 || line >= int(state_.RankTable.species.size())) return -1;
    return state_.RankTable.species[size_t(line)];
}

SearchOutcome Engine::Maitre_Discriminant() {
    if (state_.TopSpeciesCount == 1) {
        dialogs_.show(text(TextId::OnlyOneSpecies));
        return SearchOutcome::OnlyOneSpecies;
    }
    return Cherche_Discriminant();
}

std::vector<double> Engine::discriminantScores() {
    if (state_.TopSpeciesCount == 0) state_.TopSpeciesCount = model_.SpeciesCount;
    DiscriminantSearch search(model_, tables_, state_, &planes_);
    return search.scores(state_.TopSpeciesCount);
}

SearchOutcome Engine::Cherche_Discriminant() {
    for (;;) {
        const std::vector<double> scores = discriminantScores();
        const int best = DiscriminantSearch::bestRow(scores);
        if (best >= 0) {
            setQuestion(tables_.objects[size_t(best)]);
            state_.question.SelectedChoice = -1;
            return SearchOutcome::QuestionOpened;
        }
        if (!state_.SkippedQuestions) {
            dialogs_.show(text(TextId::NoMoreDiscriminant));
            return SearchOutcome::NothingLeft;
        }
        platform::Dialogs::Message retry;
        retry.text =
            text(TextId::NoMoreDiscriminant) + QLatin1Char('\n') + text(TextId::TryUnusedQuestions);
        retry.buttons = platform::Dialogs::Buttons::YesNo;
        const auto answer = dialogs_.ask(retry);
        if (answer != platform::Dialogs::Answer::Yes) return SearchOutcome::Declined;
        state_.SkippedQuestions = false;
        reloadJokerFlags(false);
    }
}

SearchOutcome Engine::skipQuestion() {
    state_.SkippedQuestions = true;
    const int descriptor = state_.question.ObjectDescriptor;
    if (descriptor >= 0 && descriptor < int(state_.JokerFlag.size()))
        state_.JokerFlag[size_t(descriptor)] = false;
    return Cherche_Discriminant();
}

void Engine::reloadJokerFlags(bool resize) {
    if (resize) state_.JokerFlag.assign(tables_.objects.size(), false);
    for (const ObjectRow& object : tables_.objects) {
        if (object.descriptor >= 0 && object.descriptor < int(state_.JokerFlag.size()))
            state_.JokerFlag[size_t(object.descriptor)] = object.joker;
    }
}

void Engine::setQuestion(const ObjectRow& object) {
    CurrentQuestion& q = state_.question;
    q.CurrentObject = object.key;
    q.ObjectRows = object.rows;
    q.ObjectColumns = object.columns;
    q.ObjectFirstState = object.firstState;
    q.ObjectStateCount = object.stateCount;
    q.ObjectFrame = object.frame;
    q.ObjectDescriptor = object.descriptor;
    q.ObjectTipText = object.tipText;
    q.ObjectPicture = object.picture;
}

bool Engine::openQuestion(const QString& objectKey) {
    const auto index = tables_.objectIndex(objectKey);
    if (!index) return false;
    const ObjectRow& object = tables_.objects[size_t(*index)];
    setQuestion(object);
    state_.question.CurrentObject = objectKey;
    state_.question.SelectedChoice = -1;
    const int states = int(state_.StateChoice.size());
    for (int s = object.firstState; s < object.firstState + object.stateCount; ++s) {
        if (s >= 0 && s < states && state_.StateChoice[size_t(s)] != 0)
            state_.question.SelectedChoice = s - object.firstState;
    }
    return true;
}

void Engine::Valid_Descripteur() {
    state_.measuresNotKept.remove(KeyTables::fold(state_.question.CurrentObject));
    engine::Valid_Descripteur(tables_, state_);
}

void Engine::Valid_Etats(const std::vector<int>& cells) {
    state_.measuresNotKept.remove(KeyTables::fold(state_.question.CurrentObject));
    engine::Valid_Etats(tables_, state_, cells);
}

void Engine::Nettoie_Descendance(int state) {
    engine::Nettoie_Descendance(tables_, state_, state);
}

QString Engine::Suffixe_Variante() const {
    return engine::Suffixe_Variante(tables_, state_.StateChoice);
}

ContradictionDisplay Engine::Affiche_Contradictions(int selectedLine, const LayerLoader& load) {
    ContradictionDisplay display;
    state_.ExtraLayerCount = 0;
    const QString suffix = Suffixe_Variante();
    const auto found = contradictedAnswers(model_, tables_, state_, speciesOfLine(selectedLine));
    for (const ContradictedAnswer& answer : found) {
        ++state_.ExtraLayerCount;
        const ContradictionRow* row =
            tables_.contradiction(tables_.objects[size_t(answer.object)].key);
        if (!row) continue;
        if (row->button == -1) {
            Ajoute_Calque(model_.DrawingCount + state_.ExtraLayerCount,
                          contradictionLayerPath(settings_.DrawingDir, row->popup, suffix), load,
                          display);
        } else {
            display.contradictedButtons.push_back(row->button);
        }
    }
    // The walk goes through the questions as the current question, so the last row of
    // "Objets_Fic" is left in it (its grid and picture are not part of the walk).
    CurrentQuestion& q = state_.question;
    for (const ObjectRow& object : tables_.objects) {
        q.ObjectFirstState = object.firstState;
        q.ObjectStateCount = object.stateCount;
        q.ObjectDescriptor = object.descriptor;
        q.CurrentObject = object.key;
        q.ObjectTipText = object.tipText;
    }
    display.contradictedAnswers = state_.ExtraLayerCount;
    display.toolbar = contradictionToolbar(display.contradictedButtons);
    return display;
}

// Grows the drawing to `count` layers (an earlier display may leave it longer: it is cut to
// `count`) and loads the picture into the last one.
void Engine::Ajoute_Calque(int count, const QString& path, const LayerLoader& load,
                           ContradictionDisplay& display) {
    if (count < 1) return;
    state_.DrawingTable.resize(size_t(count));
    state_.DrawingTable[size_t(count - 1)].FileName = path.toUpper();
    const bool loaded =
        platform::staysInside(settings_.DrawingDir, path) && (!load || load(count - 1, path));
    display.addedLayers.push_back({count - 1, path, loaded});
    if (!loaded)
        dialogs_.show(text(TextId::DrawingUnavailable) + QStringLiteral(" Fichier : ") + path,
                      text(TextId::AppTitle));
}

std::vector<ButtonImage> Engine::contradictionToolbar(const std::vector<int>& buttons) const {
    std::vector<ButtonImage> toolbar;
    for (int k = 1; k <= model_.DeterButtonCount; ++k) {
        ButtonImage image;
        image.button = k;
        const size_t row = size_t(k - 1);
        if (row < tables_.deterButtons.size() && tables_.deterButtons[row]) {
            const ButtonRow& b = *tables_.deterButtons[row];
            image.exists = true;
            image.key = b.key;
            image.caption = b.caption;
            image.tipText = b.tipText;
            image.picture = settings_.DataDir + b.file;
            const ContradictionRow* mark = tables_.contradiction(b.key);
            if (mark && std::find(buttons.begin(), buttons.end(), k) != buttons.end()) {
                image.picture = contradictionIconPath(settings_.DrawingDir, mark->popup);
                image.contradiction = true;
            }
            // A picture named outside the knowledge base is a missing one.
            if (!platform::staysInside(settings_.DataDir, image.picture) &&
                !platform::staysInside(settings_.DrawingDir, image.picture))
                image.picture.clear();
        }
        toolbar.push_back(image);
    }
    return toolbar;
}

bool Engine::dropOverlays() {
    if (state_.ExtraLayerCount == 0) return false;
    state_.ExtraLayerCount = 0;
    state_.DrawingTable.resize(size_t(std::max<int>(model_.DrawingCount, 0)));
    return true;
}

}  // namespace engine
