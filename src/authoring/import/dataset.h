#pragma once

#include <QList>
#include <QMap>
#include <QRect>
#include <QString>
#include <QStringList>
#include <limits>

// A descriptive dataset as read from another key program's files, before it becomes a
// knowledge-base source: characters with their states, taxa with what is coded for them,
// and the relations between characters. Indexes are 0-based; the identifiers the dataset
// itself uses are kept beside them so that the import can say where each thing came from.
namespace authoring {

constexpr double kUnbounded = std::numeric_limits<double>::infinity();

// The base counts its species in a 16-bit number: a dataset with more taxa cannot become a
// knowledge base, and is refused while it is read rather than after hours of writing.
constexpr int kMaxTaxa = 32767;

inline QString tooManyTaxa() {
    return QStringLiteral(
               "more than %1 taxa; a knowledge base holds at most %1 species (its "
               "species count is a 16-bit number)")
        .arg(kMaxTaxa);
}

struct NumericRange {
    double low = 0;
    double high = 0;
};

// What one taxon has for one character.
struct Attribute {
    enum Kind { Unknown, Variable, Inapplicable, Coded };
    Kind kind = Unknown;
    QList<int> states;           // multistate: the states shown
    QList<NumericRange> ranges;  // numeric: usual ranges, extremes left out
    QString text;                // text characters; comments on the attribute
};

struct CharacterState {
    QString id;     // DELTA: the state number; SDD: the state's id
    QString label;  // plain text, typesetting and comments removed
    QString image;  // absolute path of its own picture, or empty
    QRect region;   // where the state shows in its character's picture; empty: everywhere
};

// A state that a key asks about: numeric bounds, or a group of the character's states.
struct KeyState {
    double low = -kUnbounded;
    double high = kUnbounded;
    QList<int> states;  // multistate: original states it stands for
    QString label;
    bool upperOpen = false;  // the upper bound itself belongs to the next key state
};

struct Character {
    enum Type { Unordered, Ordered, Integer, Real, Text };
    Type type = Unordered;
    QString id;        // DELTA: the character number; SDD: the character's id
    QString label;     // feature text without comments or typesetting
    QString fullText;  // feature text with its comments, for documents
    QString unit;
    QList<CharacterState> states;
    QList<KeyState> keyStates;
    double reliability = -1;  // -1: not given
    QString group;            // heading or tree node it belongs to
    int implicitState = -1;   // state taken when a taxon does not code it
    QString image;            // picture of the character, whose regions show states

    // The whole feature text, its comments in parentheses: what tells two "culms" apart.
    QString wording() const {
        QString t = fullText.isEmpty() ? label : fullText;
        return t.replace(QLatin1Char('<'), QLatin1Char('('))
            .replace(QLatin1Char('>'), QLatin1Char(')'));
    }
    bool isNumeric() const { return type == Integer || type == Real; }
    bool isMultistate() const { return type == Unordered || type == Ordered; }
};

// Character `dependant` applies only while `controller` shows one of `applicableUnder`.
struct Dependency {
    int controller = 0;
    QList<int> applicableUnder;
    int dependant = 0;
};

struct Item {
    QString id;                       // DELTA: the item number; SDD: the description's id
    QString name;                     // plain text
    QString htmlName;                 // with italics as <i>
    QString comment;                  // what followed the name: often the authority
    QMap<int, Attribute> attributes;  // by character index; absent: not coded
    QStringList images;               // absolute paths
    QString family;                   // from a taxon hierarchy, when the dataset has one
};

struct Dataset {
    enum Format { Delta, Sdd };
    Format format = Delta;  // DELTA numbers characters, states and items; SDD names them
    QString title;
    QString origin;  // the file or folder read
    QList<Character> characters;
    QList<Item> items;
    QList<Dependency> dependencies;
    QStringList notes;  // what was read but could not be used, for the summary
};

}  // namespace authoring
