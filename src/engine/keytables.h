#pragma once

#include "engine/uncodedanswers.h"
#include "kb/measures.h"

#include <QHash>
#include <QString>
#include <optional>
#include <vector>

namespace kb {
class Model;
}

namespace engine {

// A "Objets_Fic" row: one question.
struct ObjectRow {
    QString key;  // "Objet"
    int rows = 0;
    int columns = 0;
    int firstState = 0;  // "Index_Car"
    int stateCount = 0;  // "Nb_Car"
    int descriptor = 0;  // "Desc_Num"
    int frame = -1;      // "Cadre"
    QString tipText;
    QString picture;  // "Popup"
    bool joker = false;
};

// One condition of a "Hierarchie" row: a state code, or the "Fin" that ends the list.
struct Condition {
    enum class Kind { State, Unknown, End, Missing };
    QString code;
    bool missing = false;  // the column does not exist
    // Resolved by KeyTables::index(): Missing, End ("Fin"), a known State or an Unknown code.
    Kind kind = Kind::Unknown;
    int state = -1;
};

// A "Hierarchie" row: a variant of one drawing and the states it needs.
struct VariantRow {
    int drawing = -1;                   // "Robot_Num"
    std::vector<Condition> conditions;  // "C_0" .. "C_<ConstraintCount-1>"
    QString name;                       // "Nom"
};

// A "Descendance" row: object `object` only makes sense while state `parentCode` is chosen.
struct DependencyRow {
    QString parentCode;  // "ID_CARAC"
    QString objectKey;   // "Objet"
};

struct ContradictionRow {
    int button = -1;  // "Bouton": -1 shows a layer, k marks button row k
    QString popup;    // name stem of the contradiction pictures
};

// A "Groupes" row: the heading a question is listed under in the questions panel.
struct GroupRow {
    QString group;  // "Groupe"
    int order = 0;  // "Ordre"
};

struct ButtonRow {
    QString key, file, caption, tipText;
};

// The rows of the knowledge-base tables the engine reads, taken once: the tables never change
// during a run, and the ranking and search then read plain vectors instead of cursors.
// Filled by fromModel() from the open knowledge base, or member by member (then call index()).
class KeyTables {
public:
    std::vector<ObjectRow> objects;                      // in key order ("Objet")
    std::vector<VariantRow> variants;                    // in key order
    std::vector<DependencyRow> dependencies;             // the rows keyed 1 .. row count, by key
    QHash<QString, ContradictionRow> contradictions;     // by case-folded object key
    std::vector<std::optional<ButtonRow>> deterButtons;  // rows 1 .. DeterButtonCount
    // "Caracteres": the first row's code for each state number; the state of each code.
    QHash<int, QString> stateCodes;
    QHash<QString, int> codeStates;  // by case-folded code
    QHash<int, QString> stateTexts;  // "TipText" of the first row of each state
    // The optional "Groupes" table, by case-folded object key; empty: one flat list.
    QHash<QString, GroupRow> groups;
    // The optional "Mesures" table: the questions answered by typing a number.
    kb::Measures measures;
    // The optional "Non_Codes" table: which species leave which questions uncoded.
    UncodedAnswers uncoded;

    // Reads the tables through the model's kept cursors (left where they were) and the
    // database. A missing table leaves its rows empty; the message says which.
    static KeyTables fromModel(kb::Model& model, QString* errorString = nullptr);

    // A "Caracteres" row, in key order: the first row of a state or a code wins.
    void addCharacter(const QString& code, int state);
    // Builds the look-ups after the members were filled by hand.
    void index();

    std::optional<int> objectIndex(const QString& key) const;
    std::optional<int> stateOfCode(const QString& code) const;
    std::optional<QString> codeOfState(int state) const;
    const ContradictionRow* contradiction(const QString& objectKey) const;
    // Objects that depend on a state code, in "Descendance" key order (an object key that
    // "Objets_Fic" does not hold is left out).
    const std::vector<int>& dependants(const QString& parentCode) const;

    static QString fold(const QString& key) { return key.toCaseFolded(); }

private:
    QHash<QString, int> objectByKey_;
    QHash<QString, std::vector<int>> dependants_;
    std::vector<int> none_;
};

}  // namespace engine
