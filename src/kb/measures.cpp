#include "kb/measures.h"

#include "kb/database.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <limits>

namespace kb {

namespace {

constexpr double Infinite = std::numeric_limits<double>::infinity();

struct QuestionRow {
    QString key;
    int first = 0, count = 0;  // "Index_Car", "Nb_Car": the states it asks
};

// "Caracteres" by case-folded code: the first row of a code wins, as everywhere.
QHash<QString, int> statesByCode(Database& db) {
    QHash<QString, int> states;
    Table t = db.openTable(QStringLiteral("Caracteres"));
    if (!t.isValid()) return states;
    for (t.moveFirst(); !t.eof(); t.moveNext()) {
        const QString code = t.field(QStringLiteral("ID_CARAC")).toString().toCaseFolded();
        bool ok = false;
        const int state = t.field(QStringLiteral("NUM")).toInt(&ok);
        if (ok && !code.isEmpty() && !states.contains(code)) states.insert(code, state);
    }
    return states;
}

// "Objets_Fic" by case-folded key: a question's states are its consecutive numbers.
QHash<QString, QuestionRow> questionsByKey(Database& db) {
    QHash<QString, QuestionRow> questions;
    Table t = db.openTable(QStringLiteral("Objets_Fic"));
    if (!t.isValid()) return questions;
    for (t.moveFirst(); !t.eof(); t.moveNext()) {
        const QString key = t.field(QStringLiteral("Objet")).toString();
        if (!key.isEmpty() && !questions.contains(key.toCaseFolded()))
            questions.insert(key.toCaseFolded(), {key, t.field(QStringLiteral("Index_Car")).toInt(),
                                                  t.field(QStringLiteral("Nb_Car")).toInt()});
    }
    return questions;
}

// A bound: NULL is an open end; a number, or a text that reads as one, is the bound.
bool readBound(const QVariant& v, std::optional<double>& out) {
    if (v.isNull()) return true;
    bool ok = false;
    const double d =
        v.typeId() == QMetaType::QString ? v.toString().trimmed().toDouble(&ok) : v.toDouble(&ok);
    if (!ok || !std::isfinite(d)) return false;
    out = d;
    return true;
}

bool included(const QVariant& v) {
    return v.isNull() || v.toBool();
}

bool overlap(const MeasureRange& a, const MeasureRange& b) {
    const double aLow = a.low.value_or(-Infinite), bLow = b.low.value_or(-Infinite);
    const double aHigh = a.high.value_or(Infinite), bHigh = b.high.value_or(Infinite);
    const double low = std::max(aLow, bLow), high = std::min(aHigh, bHigh);
    if (low < high) return true;
    if (low > high || !std::isfinite(low)) return false;
    return a.contains(low) && b.contains(low);
}

bool empty(const MeasureRange& r) {
    if (!r.low || !r.high) return false;
    return *r.low > *r.high || (*r.low == *r.high && !(r.lowIncluded && r.highIncluded));
}

// What is wrong with a question's rows, empty when they can be used.
QString problemOf(const Measure& m) {
    for (size_t i = 0; i < m.ranges.size(); ++i) {
        if (empty(m.ranges[i]))
            return QStringLiteral("the range of state %1 holds no value").arg(m.ranges[i].code);
        for (size_t j = 0; j < i; ++j)
            if (overlap(m.ranges[i], m.ranges[j]))
                return QStringLiteral("the ranges of states %1 and %2 overlap")
                    .arg(m.ranges[j].code, m.ranges[i].code);
    }
    return {};
}

}  // namespace

bool MeasureRange::contains(double v) const {
    const bool aboveLow = !low || v > *low || (v == *low && lowIncluded);
    const bool belowHigh = !high || v < *high || (v == *high && highIncluded);
    return aboveLow && belowHigh;
}

bool MeasureRange::overlaps(const MeasureRange& other) const {
    return overlap(*this, other);
}

int Measure::stateOf(double v) const {
    for (const MeasureRange& r : ranges)
        if (r.contains(v)) return r.state;
    return -1;
}

QString Measure::valueText(double v) const {
    const QString number = Measures::numberText(v);
    return unit.isEmpty() ? number : number + QLatin1Char(' ') + unit;
}

Measures Measures::read(Database& db, QStringList* problems) {
    Measures out;
    if (!db.hasTable(QStringLiteral("Mesures"))) return out;
    Table t = db.openTable(QStringLiteral("Mesures"));
    if (!t.isValid()) return out;
    const QHash<QString, int> states = statesByCode(db);
    const QHash<QString, QuestionRow> questions = questionsByKey(db);
    QHash<QString, Measure> measures;
    QHash<QString, QString> bad;    // question -> first problem found
    QHash<QString, QString> names;  // question -> its key as the first row writes it
    const auto fault = [&](const QString& question, const QString& message) {
        if (!bad.contains(question)) bad.insert(question, message);
    };
    for (t.moveFirst(); !t.eof(); t.moveNext()) {
        const QString code = t.field(QStringLiteral("ID_CARAC")).toString();
        const QString question = t.field(QStringLiteral("Objet")).toString();
        const QString key = question.toCaseFolded();
        if (!names.contains(key)) names.insert(key, question);
        const auto found = states.constFind(code.toCaseFolded());
        if (found == states.constEnd()) {
            fault(key, QStringLiteral("state %1 does not exist").arg(code));
            continue;
        }
        const auto asked = questions.constFind(key);
        if (asked == questions.constEnd()) {
            fault(key, QStringLiteral("the question does not exist"));
            continue;
        }
        if (*found < asked->first || *found >= asked->first + asked->count) {
            fault(key, QStringLiteral("state %1 is not a state of this question").arg(code));
            continue;
        }
        MeasureRange r;
        r.state = *found;
        r.code = code;
        if (!readBound(t.field(QStringLiteral("Bas")), r.low) ||
            !readBound(t.field(QStringLiteral("Haut")), r.high)) {
            fault(key, QStringLiteral("a bound of state %1 is not a number").arg(code));
            continue;
        }
        r.lowIncluded = included(t.field(QStringLiteral("Bas_Inclus")));
        r.highIncluded = included(t.field(QStringLiteral("Haut_Inclus")));
        Measure& m = measures[key];
        const QString unit = t.field(QStringLiteral("Unite")).toString();
        if (m.ranges.empty()) {
            m.question = asked->key;
            m.unit = unit;
        } else if (unit != m.unit) {
            fault(key, QStringLiteral("states %1 and %2 give different units")
                           .arg(m.ranges.front().code, code));
        }
        m.ranges.push_back(r);
    }
    for (auto it = measures.begin(); it != measures.end(); ++it) {
        // In the order of the states, as the picture shows them.
        std::sort(it->ranges.begin(), it->ranges.end(),
                  [](const MeasureRange& a, const MeasureRange& b) { return a.state < b.state; });
        if (!bad.contains(it.key())) {
            const QString problem = problemOf(*it);
            if (problem.isEmpty()) {
                out.byQuestion_.insert(it.key(), *it);
                continue;
            }
            bad.insert(it.key(), problem);
        }
    }
    if (problems) {
        QStringList keys = bad.keys();
        std::sort(keys.begin(), keys.end());
        for (const QString& key : keys)
            *problems << QStringLiteral("\"Mesures\", question %1: %2")
                             .arg(names.value(key), bad.value(key));
    }
    return out;
}

const Measure* Measures::of(const QString& questionKey) const {
    const auto it = byQuestion_.constFind(questionKey.toCaseFolded());
    return it == byQuestion_.constEnd() ? nullptr : &*it;
}

std::optional<double> Measures::parseValue(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(?:[0-9]+(?:[.,][0-9]*)?|[.,][0-9]+)$"));
    const QString t = text.trimmed();
    if (t.size() > 64 || !number.match(t).hasMatch()) return std::nullopt;
    QString dotted = t;
    dotted.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = dotted.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

QString Measures::numberText(double v) {
    return QString::number(v, 'g', 12);
}

}  // namespace kb
