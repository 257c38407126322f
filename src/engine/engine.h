#pragma once

#include "engine/descriptionhistory.h"
#include "engine/engineresults.h"
#include "engine/identificationstate.h"
#include "engine/keytables.h"
#include "engine/stateplanes.h"
#include "kb/basetexts.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace kb {
class Model;
}
namespace platform {
class Dialogs;
}

namespace engine {

// An interface text by its English number; nothing when the table lacks it.
using TextLookup = std::function<std::optional<QString>(int)>;
// Loads the picture at a knowledge-base path into a drawing layer; false when it cannot.
using LayerLoader = std::function<bool(int layer, const QString& path)>;

struct EngineSettings {
    QString DataDir;     // ends with a separator
    QString DrawingDir;  // ends with a separator
    int ListThreshold = -1;
};

// The identification: owns the description and the ranking, answers the questions of the
// windows and tells them what to show. Messages go through the dialogs it is given.
class Engine {
public:
    Engine(const kb::Model& model, KeyTables tables, platform::Dialogs& dialogs, TextLookup texts,
           EngineSettings settings = {});

    const kb::Model& model() const { return model_; }
    const KeyTables& tables() const { return tables_; }
    IdentificationState& state() { return state_; }
    const IdentificationState& state() const { return state_; }
    CurrentQuestion& question() { return state_.question; }
    const EngineSettings& settings() const { return settings_; }
    void setDirectories(const QString& dataDir, const QString& drawingDir);

    // Clears the description (not the ranking, the lists nor the "Joker" flags).
    void Nettoye();
    // Marks the description modified, picks the drawing variants, ranks and lists the
    // species. Without a loader the layers only record their new paths.
    RefreshResult Actualise_Identification(const LayerLoader& load = {});
    void Classe_Especes();
    // Lists again after a threshold change, from the current ranking.
    void setListThreshold(int threshold);

    int listedCount() const { return int(state_.ListedRanks.size()); }
    QString listLine(int line) const;
    QStringList listLines() const;
    QString legend() const { return state_.Legend; }
    // The species on a line of the list, as the list and the contradictions take it.
    int speciesOfLine(int line) const;

    SearchOutcome Maitre_Discriminant();
    SearchOutcome Cherche_Discriminant();
    // The skip button: this question is not proposed again until a retry, then the search.
    SearchOutcome skipQuestion();
    // The search's score of every "Objets_Fic" row, without opening anything.
    std::vector<double> discriminantScores();

    // Opens a question by its object key as a toolbar button or the drawing does: the current
    // answer is highlighted. False when "Objets_Fic" has no such key.
    bool openQuestion(const QString& objectKey);
    void Valid_Descripteur();
    // Confirms the states ticked in the list of the open question (cells among its states).
    void Valid_Etats(const std::vector<int>& cells);
    void Nettoie_Descendance(int state);

    // Marks the answers that the species on the selected line (-1: none) contradicts.
    ContradictionDisplay Affiche_Contradictions(int selectedLine, const LayerLoader& load = {});
    QString Suffixe_Variante() const;
    // The layer file of every drawing as the description now asks, without loading any;
    // empty where no variant matches.
    QStringList layerPaths() const;
    // Drops the contradiction layers; true when the character toolbar must be rebuilt.
    bool dropOverlays();

    // Withdraws the answer of a question as confirming it with no cell highlighted does: its
    // states and their dependants cleared, its frame closed. The open question stays open.
    // False when the key is unknown or the question has no answer. The caller refreshes.
    bool forgetAnswer(const QString& objectKey);

    // Undo and Redo step through the description as it was after each confirmed answer,
    // each forgotten answer and each New; opening an identification starts afresh.
    const DescriptionHistory& history() const { return history_; }
    void restartHistory();
    // Records the description as it stands; false when it is the current step already.
    bool rememberDescription();
    // Puts back the step before (after); false when there is none. The caller refreshes.
    bool undo();
    bool redo();

    // "Joker" flags as loaded: sized to the questions (New), or only overwritten (retry).
    void reloadJokerFlags(bool resize);

    // The base's texts in `language` where "Textes" gives them, its own elsewhere; the open
    // question's text follows. The ranking and the search are unchanged.
    void setTextLanguage(const kb::BaseTexts& texts, const QString& language);

private:
    QString text(int key) const;
    void setQuestion(const ObjectRow& object);
    std::optional<QString> refreshLayer(int drawing, QString& suffix, const LayerLoader& load,
                                        RefreshResult& result);
    void Ajoute_Calque(int count, const QString& path, const LayerLoader& load,
                       ContradictionDisplay& display);
    std::vector<ButtonImage> contradictionToolbar(const std::vector<int>& buttons) const;

    const kb::Model& model_;
    KeyTables tables_;
    platform::Dialogs& dialogs_;
    TextLookup texts_;
    EngineSettings settings_;
    IdentificationState state_;
    DescriptionHistory history_;
    std::optional<KeyTables> ownTexts_;  // the texts as loaded, once another language is shown
    StatePlanes planes_;                 // the search's packed columns, kept between searches
};

}  // namespace engine
