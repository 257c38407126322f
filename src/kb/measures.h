#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace kb {

class Database;

// One row of "Mesures": the values a state of a measured question holds. An open end
// (a NULL bound) reaches as far as numbers go.
struct MeasureRange {
    int state = -1;  // "NUM" of the state in "Caracteres"
    QString code;    // "ID_CARAC"
    std::optional<double> low, high;
    bool lowIncluded = true;
    bool highIncluded = true;

    bool contains(double v) const;
    // Whether some value lies in both ranges.
    bool overlaps(const MeasureRange& other) const;
};

// A question answered by typing a number: its unit and the range of each of its states.
struct Measure {
    QString question;  // "Objet"
    QString unit;      // may be empty
    std::vector<MeasureRange> ranges;

    // The state whose range holds `v`, -1 when none does. The ranges of a question never
    // overlap (the loader drops a question whose ranges do), so at most one holds it.
    int stateOf(double v) const;
    // "37 mm": the value as the answer of the question.
    QString valueText(double v) const;
};

// The optional table "Mesures", read once. A base without it has no measured question. A
// question whose rows contradict each other or the base (a state that does not exist or
// belongs to another question, a bound that is not a number, ranges that overlap, units
// that differ) is left out with a problem naming it, so it is asked by its picture alone.
class Measures {
public:
    static Measures read(Database& db, QStringList* problems = nullptr);

    const Measure* of(const QString& questionKey) const;
    bool isEmpty() const { return byQuestion_.isEmpty(); }
    QList<Measure> all() const { return byQuestion_.values(); }

    // A number as a person types it: digits with a decimal comma or point, an optional
    // sign; nothing for anything else.
    static std::optional<double> parseValue(const QString& text);
    // A number as the answer shows it: 37, 2.5, 0.03.
    static QString numberText(double v);

private:
    QHash<QString, Measure> byQuestion_;  // by case-folded question key
};

}  // namespace kb
