#include "authoring/import/importmapper.h"

#include "authoring/import/importtext.h"
#include "authoring/import/numericstates.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace authoring {

namespace {

QString sanitized(const QString& id) {
    QString out;
    for (QChar ch : id.normalized(QString::NormalizationForm_KD))
        if ((ch.isLetterOrNumber() && ch.unicode() < 128) || ch == QLatin1Char('_')) out += ch;
    return out.left(40);
}

QString shortLabel(const QString& text) {
    return text.size() <= 200 ? text : text.left(197) + QStringLiteral("...");
}

}  // namespace

void ImportMapper::gridFor(int states, int& rows, int& columns) {
    // Cells are 240 x 220, for a picture above its label; past a few dozen states they are
    // texts, which read best in wide cells of a line or two. The drawing area is 4:3, and
    // the compiler draws at most 32 columns. Past 32 x 32 cells the program asks the
    // question as a list, and the grid only has to hold every state.
    const double cellHeight = states > 36 ? 100.0 : 220.0;
    double best = 1e9;
    for (int c = 1; c <= std::clamp(states, 1, 32); ++c) {
        const int r = (states + c - 1) / c;
        if (r > 32 && c < 32) continue;
        const double aspect = (c * 240.0) / (r * cellHeight);
        const double miss = std::abs(std::log(aspect / (4.0 / 3.0))) + 0.02 * (r * c - states);
        if (miss < best) best = miss, rows = r, columns = c;
    }
}

QString ImportMapper::uniqueKey(QString wanted) {
    if (wanted.isEmpty() || wanted[0].isDigit()) wanted.prepend(QLatin1Char('K'));
    QString key = wanted;
    for (int n = 2; m_keys.contains(key.toUpper()); ++n)
        key = wanted + QLatin1Char('_') + QString::number(n);
    m_keys.insert(key.toUpper());
    return key;
}

// A character as the summary names it: by the text of its question.
QString ImportMapper::character(int c) const {
    const Character& ch = m_data.characters[c];
    const int q = m_questionOf.value(c, -1);
    QString text = q >= 0 ? m_plan.questions[q].text : shortLabel(ch.wording());
    if (text.isEmpty()) text = QStringLiteral("Character %1").arg(ch.id);
    return QStringLiteral("character %1 (%2)").arg(ch.id, importtext::capitalised(text));
}

// Questions that would read alike take what tells their characters apart: the group they
// stand in (the parent node of the character tree, the heading), the unit, the dataset's
// longer description; past that, the character's identifier.
void ImportMapper::distinguishTexts() {
    const auto qualifier = [this](const PlannedQuestion& q, int slot) {
        const Character& ch = m_data.characters[q.character];
        const QString v = slot == 0 ? ch.group : slot == 1 ? ch.unit : ch.distinctions.value(0);
        return v.simplified().left(80);
    };
    for (int slot = 0; slot <= 3; ++slot) {
        QHash<QString, QList<int>> alike;  // text, case-blind -> questions
        for (int i = 0; i < m_plan.questions.size(); ++i)
            alike[m_plan.questions[i].text.toLower()] << i;
        bool repeated = false;
        for (const QList<int>& same : std::as_const(alike)) {
            if (same.size() < 2) continue;
            repeated = true;
            QSet<QString> values;
            for (int i : same) values.insert(slot < 3 ? qualifier(m_plan.questions[i], slot) : "");
            if (slot < 3 && values.size() < 2) continue;
            for (int i : same) {
                PlannedQuestion& q = m_plan.questions[i];
                const QString v =
                    slot < 3 ? qualifier(q, slot) : QStringLiteral("character %1").arg(q.sourceId);
                if (slot == 3 || (!v.isEmpty() && !q.text.contains(v, Qt::CaseInsensitive)))
                    q.text += QStringLiteral(" (") + v + QLatin1Char(')');
            }
        }
        if (!repeated) return;
    }
}

// Whether anything the taxon has rules out a state of a question: a taxon that codes no
// question matches every description.
bool ImportMapper::codesAQuestion(const Item& item) const {
    for (const PlannedQuestion& q : m_plan.questions) {
        const auto a = item.attributes.constFind(q.character);
        if (a == item.attributes.cend()
                ? m_data.characters[q.character].implicitState >= 0
                : a->kind == Attribute::Coded || a->kind == Attribute::Inapplicable)
            return true;
    }
    return false;
}

// The ranges a numeric character is asked by: the dataset's own (DELTA's key states, SDD's
// mappings), their shared bounds settled by the taxa's values, else ranges chosen from those
// values. A range the dataset words keeps its words; the others say their bounds.
bool ImportMapper::numericKeys(int c, QList<KeyState>& keys, QString& reason) const {
    const Character& ch = m_data.characters[c];
    QList<NumericRange> values;
    for (const Item& it : m_data.items)
        if (const auto a = it.attributes.constFind(c); a != it.attributes.constEnd())
            values += a->ranges;
    if (values.isEmpty()) return reason = QStringLiteral("numeric character without values"), false;
    // Whole numbers as the dataset gives them: a gap between key states shared at 3.5
    // still parts whole numbers.
    const bool whole = ch.type == Character::Integer && numericstates::wholeNumbers(values, keys);
    if (keys.isEmpty())
        keys = numericstates::chosenRanges(values, ch.type == Character::Integer);
    else
        numericstates::partBounds(keys, values);
    if (keys.size() < 2) return reason = QStringLiteral("every taxon has the same value"), false;
    for (KeyState& k : keys)
        if (k.label.isEmpty()) k.label = numericstates::label(k, ch.unit, whole);
    return true;
}

// The states of a multistate character, or its key states named by the states they join.
bool ImportMapper::multistateKeys(const Character& ch, QList<KeyState>& keys, QString& reason) {
    if (keys.isEmpty())
        for (int s = 0; s < ch.states.size(); ++s) {
            KeyState k;
            k.states = {s}, k.label = ch.states[s].label;
            keys << k;
        }
    else
        for (KeyState& k : keys) {
            QStringList parts;
            for (int s : k.states) parts << ch.states[s].label;
            k.label = parts.join(QStringLiteral(" or "));
        }
    if (keys.size() < 2) return reason = QStringLiteral("fewer than two states"), false;
    return true;
}

// State `k` of question q: its key, label, where it came from, and what it shows.
PlannedState ImportMapper::plannedState(const Character& ch, const PlannedQuestion& q,
                                        const KeyState& key, int k) {
    const bool delta = m_data.format == Dataset::Delta;
    PlannedState s;
    s.label = shortLabel(key.label.isEmpty() ? QStringLiteral("State %1").arg(k + 1) : key.label);
    const bool single = key.states.size() == 1;
    if (ch.isNumeric()) {
        s.sourceId = key.id.isEmpty() ? s.label : key.id;
        s.bounds = key;
        s.key = uniqueKey(q.key + QLatin1Char('_') + QString::number(k + 1));
        for (auto t = key.texts.cbegin(); t != key.texts.cend(); ++t)
            s.texts.insert(t.key(), shortLabel(t.value()));
        return s;
    }
    QStringList ids;
    for (int st : key.states) ids << ch.states[st].id;
    s.sourceId = ids.join(QLatin1Char('&'));
    s.key = uniqueKey(delta || !single
                          ? q.key + QLatin1Char('_') +
                                (delta ? ids.join(QLatin1Char('_')) : QString::number(k + 1))
                          : sanitized(ids.first()));
    if (single) {
        const CharacterState& from = ch.states[key.states.first()];
        s.picture = from.image, s.region = from.region;
        s.texts = ch.stateTexts.value(key.states.first());
    }
    return s;
}

bool ImportMapper::question(int c, PlannedQuestion& q, QString& reason) {
    const Character& ch = m_data.characters[c];
    q.character = c;
    q.sourceId = ch.id;
    const QString text = ch.wording();
    q.text = importtext::capitalised(
        shortLabel(text.isEmpty() ? QStringLiteral("Character %1").arg(ch.id) : text));
    q.group = ch.group;
    for (auto t = ch.texts.cbegin(); t != ch.texts.cend(); ++t)
        q.texts.insert(t.key(), importtext::capitalised(shortLabel(t.value())));
    q.help = ch.notes.size() <= 300 ? ch.notes : ch.notes.left(297) + QStringLiteral("...");
    QList<KeyState> keys = ch.keyStates;
    if (ch.type == Character::Text) return reason = QStringLiteral("text character"), false;
    if (ch.isNumeric() ? !numericKeys(c, keys, reason) : !multistateKeys(ch, keys, reason))
        return false;
    q.key =
        uniqueKey(m_data.format == Dataset::Delta ? QStringLiteral("C") + ch.id : sanitized(ch.id));
    for (int k = 0; k < keys.size(); ++k) q.states << plannedState(ch, q, keys[k], k);
    q.numeric = ch.isNumeric();
    if (q.numeric) q.unit = ch.unit;
    gridFor(int(q.states.size()), q.rows, q.columns);
    // Weights are 16-bit values in the base; a species' score is summed exactly past that.
    q.weight =
        ch.reliability < 0
            ? 1
            : int(std::clamp<long>(std::lround(std::min(ch.reliability, 32767.0)), 1, 32767));
    m_keyStates << keys;
    return true;
}

ImportPlan ImportMapper::plan() {
    m_plan = ImportPlan();
    m_plan.title = m_data.title;
    m_plan.titles = m_data.titles;
    m_plan.groupTexts = m_data.groupTexts;
    m_plan.notes = m_data.notes;
    m_keys = {QStringLiteral("FIN"), QStringLiteral("SEARCH"), QStringLiteral("RESULTS")};
    m_questionOf.fill(-1, m_data.characters.size());
    for (int c = 0; c < m_data.characters.size(); ++c) {
        PlannedQuestion q;
        QString reason;
        if (question(c, q, reason)) {
            m_questionOf[c] = int(m_plan.questions.size());
            m_plan.questions << q;
        } else {
            m_plan.leftOut << character(c) + QStringLiteral(": ") + reason;
        }
    }
    distinguishTexts();
    dependencies();
    species();
    return m_plan;
}

void ImportMapper::dependencies() {
    QHash<int, QList<int>> parents;  // question -> questions it requires
    auto dependsOn = [&](int q, int target) {
        QList<int> todo{q};
        QSet<int> seen;
        while (!todo.isEmpty()) {
            const int at = todo.takeLast();
            if (at == target) return true;
            if (!seen.contains(at)) seen.insert(at), todo += parents.value(at);
        }
        return false;
    };
    for (const Dependency& d : m_data.dependencies) {
        const int controller = m_questionOf.value(d.controller, -1),
                  dependant = m_questionOf.value(d.dependant, -1);
        if (controller < 0 || dependant < 0) continue;
        if (dependsOn(controller, dependant)) {
            m_plan.notes << QStringLiteral(
                                "%1 depends on %2 in a loop: that dependency is left out")
                                .arg(character(d.dependant), character(d.controller));
            continue;
        }
        PlannedQuestion& q = m_plan.questions[dependant];
        const QList<KeyState>& keys = m_keyStates[controller];
        for (int k = 0; k < keys.size(); ++k)
            for (int s : keys[k].states)
                if (d.applicableUnder.contains(s) &&
                    !q.conditions.contains(m_plan.questions[controller].states[k].key))
                    q.conditions << m_plan.questions[controller].states[k].key;
        parents[dependant] << controller;
    }
}

QStringList ImportMapper::shows(const Item& item, const PlannedQuestion& q) const {
    const Character& ch = m_data.characters[q.character];
    const QList<KeyState>& keys = m_keyStates[m_questionOf[q.character]];
    Attribute a;
    if (const auto it = item.attributes.constFind(q.character); it != item.attributes.constEnd())
        a = *it;
    else if (ch.implicitState >= 0 && ch.implicitState < ch.states.size())
        a = Attribute{Attribute::Coded, {ch.implicitState}, {}, {}};
    QStringList out;
    if (a.kind == Attribute::Inapplicable) return out;
    for (int k = 0; k < keys.size(); ++k) {
        bool shown = a.kind != Attribute::Coded;  // unknown or variable: nothing contradicts it
        for (int s : keys[k].states) shown = shown || a.states.contains(s);
        for (const NumericRange& r : a.ranges)
            shown = shown || (ch.isNumeric() && numericstates::overlaps(r, keys[k]));
        if (shown) out << q.states[k].key;
    }
    if (!out.isEmpty() || a.kind != Attribute::Coded) return out;
    // Coded, yet in no key state: a value in a gap between the dataset's key states takes
    // the nearest; states that no key state groups cannot be told apart, so none is ruled out.
    if (ch.isNumeric() && !a.ranges.isEmpty()) {
        int nearest = 0;
        double best = kUnbounded;
        for (int k = 0; k < keys.size(); ++k)
            for (const NumericRange& r : a.ranges) {
                const double gap =
                    std::max({keys[k].low - r.highest(), r.lowest() - keys[k].high, 0.0});
                if (gap < best) best = gap, nearest = k;
            }
        return {q.states[nearest].key};
    }
    for (const PlannedState& s : q.states) out << s.key;
    return out;
}

}  // namespace authoring
