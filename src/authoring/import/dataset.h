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
constexpr double kNotGiven = std::numeric_limits<double>::quiet_NaN();

// The base counts its species in a 16-bit number: a dataset with more taxa cannot become a
// knowledge base, and is refused while it is read rather than after hours of writing.
constexpr int kMaxTaxa = 32767;

inline QString tooManyTaxa() {
    return QStringLiteral(
               "more than %1 taxa; a knowledge base holds at most %1 species (its "
               "species count is a 16-bit number)")
        .arg(kMaxTaxa);
}

// What a taxon shows of a numeric character: its usual range, and the extremes seen beyond
// it ("(2-)3-5(-7)"; SDD's Min and Max beside a usual range). The usual range places the
// bounds of the states; the extremes widen the states a taxon shows, so that a key never
// rules out a specimen its description allows.
struct NumericRange {
    double low = 0;
    double high = 0;
    double extremeLow = kNotGiven;
    double extremeHigh = kNotGiven;

    double lowest() const { return extremeLow < low ? extremeLow : low; }
    double highest() const { return extremeHigh > high ? extremeHigh : high; }
};

// The values one state of a numeric question holds: from `low` to `high`, each bound in or
// out. States part the line without overlap: the label says exactly these bounds.
struct NumericBounds {
    double low = -kUnbounded;
    double high = kUnbounded;
    bool lowIncluded = true;
    bool highIncluded = true;

    bool contains(double v) const {
        return (v > low || (v == low && lowIncluded)) && (v < high || (v == high && highIncluded));
    }
    // Whether the values from `from` to `to` (both included) meet these bounds.
    bool meets(double from, double to) const {
        return (to > low || (to == low && lowIncluded)) &&
               (from < high || (from == high && highIncluded));
    }
};

// What one taxon has for one character.
struct Attribute {
    enum Kind { Unknown, Variable, Inapplicable, Coded };
    Kind kind = Unknown;
    QList<int> states;           // multistate: the states shown
    QList<NumericRange> ranges;  // numeric: each value or range seen
    QString text;                // text characters; comments on the attribute
};

// A picture or other medium that the dataset gives as a web address: kept as a link, never
// fetched.
struct WebLink {
    QString label;
    QString url;  // http or https
    bool operator==(const WebLink&) const = default;
};

struct CharacterState {
    QString id;     // DELTA: the state number; SDD: the state's id
    QString label;  // plain text, typesetting and comments removed
    QString image;  // absolute path of its own picture, or empty
    QRect region;   // where the state shows in its character's picture; empty: everywhere
};

// A state that a key asks about: numeric bounds, or a group of the character's states.
struct KeyState : NumericBounds {
    QList<int> states;  // multistate: original states it stands for
    QString label;      // numeric: the dataset's own words for the range, else made from it
    QString id;         // numeric: the dataset's id of the range's state, when it names one
    QMap<QString, QString> texts;  // numeric: the label in the dataset's other languages
};

struct Character {
    enum Type { Unordered, Ordered, Integer, Real, Text };
    Type type = Unordered;
    QString id;        // DELTA: the character number; SDD: the character's id
    QString label;     // feature text without comments or typesetting
    QString fullText;  // feature text with the words of its comments, for questions and documents
    QString unit;
    QMap<QString, QString> texts;  // the label in the dataset's other languages, by xml:lang
    QList<CharacterState> states;
    QMap<int, QMap<QString, QString>> stateTexts;  // by state index: as `texts`
    QList<KeyState> keyStates;
    double reliability = -1;  // -1: not given
    QString group;            // heading or tree node it belongs to
    QString subheading;       // a description's subheading that starts at this character
    QString notes;            // the dataset's notes on the character, plain text
    int implicitState = -1;   // state taken when a taxon does not code it
    QString image;            // picture of the character, whose regions show states
    QList<WebLink> links;
    QMap<int, QList<WebLink>> stateLinks;  // by state index
    // What may tell the character from another of the same wording, most telling first
    // (SDD: the character's longer description).
    QStringList distinctions;

    // SDD texts hold angle brackets as words (`Achenes <length>`), DELTA texts as comments.
    bool bracketsAreWords = false;

    // The whole feature text, its comments in parentheses: what tells two "culms" apart.
    QString wording() const {
        QString t = fullText.isEmpty() ? label : fullText;
        if (bracketsAreWords) return t;
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
    QList<WebLink> links;
};

struct Dataset {
    enum Format { Delta, Sdd };
    Format format = Delta;  // DELTA numbers characters, states and items; SDD names them
    QString title;
    QString language;  // of the labels read (xml:lang); empty when the dataset gives none
    QMap<QString, QString> titles;  // the title in the dataset's other languages
    QString origin;                 // the file or folder read
    QList<Character> characters;
    QList<Item> items;
    QList<Dependency> dependencies;
    QStringList notes;  // what was read but could not be used, for the summary
    // Common names of the items, by item index: (language code, name).
    QMap<int, QList<std::pair<QString, QString>>> commonNames;
    // The words of groups in the dataset's other languages: group as read -> language -> text.
    QMap<QString, QMap<QString, QString>> groupTexts;
};

}  // namespace authoring
