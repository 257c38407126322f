#include "authoring/import/importmapper.h"

#include "authoring/import/numericstates.h"

#include <QSet>
#include <algorithm>

// Taxa become species: unique five-character codes and names, families, what each shows and
// its description in words.
namespace authoring {

namespace {

QString letters(const QString& word) {
    QString out;
    for (QChar ch : word.normalized(QString::NormalizationForm_KD))
        if (ch.isLetter() && ch.unicode() < 128) out += ch.toUpper();
    return out;
}

// Three letters of the genus and two of the epithet, as naturalists abbreviate names.
QString codeStem(const QString& name) {
    const QStringList words = name.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QString genus = letters(words.value(0)), epithet;
    for (int i = 1; i < words.size() && epithet.isEmpty(); ++i) epithet = letters(words[i]);
    QString code = genus.left(epithet.isEmpty() ? 5 : 3) + epithet.left(2);
    return (code + QStringLiteral("XXXXX")).left(5);
}

QString numberedCode(const QString& stem, int n) {
    const QString suffix = QString::number(n, 36).toUpper();
    return stem.left(5 - int(suffix.size())) + suffix;
}

}  // namespace

void ImportMapper::species() {
    QSet<QString> codes, names;
    for (int i = 0; i < m_data.items.size(); ++i) {
        const Item& item = m_data.items[i];
        PlannedSpecies s;
        s.item = i;
        s.sourceId = item.id;
        s.name = item.name.left(200);
        s.htmlName = item.htmlName.isEmpty() ? s.name.toHtmlEscaped() : item.htmlName;
        if (names.contains(s.name.toLower())) {
            QString other = item.comment.isEmpty() ? QString()
                                                   : s.name + QStringLiteral(" (") +
                                                         item.comment.left(60) + QLatin1Char(')');
            for (int n = 2; other.isEmpty() || names.contains(other.toLower()); ++n)
                other = s.name + QStringLiteral(" (%1)").arg(n);
            m_plan.notes << QStringLiteral("two taxa are named %1: item %2 is kept as %3")
                                .arg(s.name, item.id, other);
            s.htmlName += other.mid(s.name.size()).toHtmlEscaped();
            s.name = other;
        }
        names.insert(s.name.toLower());
        const QString stem = codeStem(s.name);
        s.code = stem;
        for (int n = 1; codes.contains(s.code.toUpper()); ++n) s.code = numberedCode(stem, n);
        codes.insert(s.code.toUpper());
        s.family = !item.family.isEmpty()   ? item.family
                   : m_data.title.isEmpty() ? QStringLiteral("Taxa")
                                            : m_data.title;
        if (m_options.familyCharacter >= 0) {
            const Attribute a = item.attributes.value(m_options.familyCharacter);
            const Character& f = m_data.characters.value(m_options.familyCharacter);
            if (!a.states.isEmpty() && a.states.first() < f.states.size())
                s.family = f.states[a.states.first()].label;
            else if (!a.text.isEmpty())
                s.family = a.text;
        }
        s.family = s.family.left(100);
        for (const auto& [language, name] : m_data.commonNames.value(i))
            s.commonNames.append({language, name.left(200)});
        for (const PlannedQuestion& q : m_plan.questions) s.shows += shows(item, q);
        withoutInapplicable(item, s.shows);
        s.uncodedQuestions = uncodedQuestions(item, s.shows);
        s.description = describe(item);
        if (!codesAQuestion(item)) m_plan.uncoded << s.name;
        m_plan.species << s;
    }
}

// A character the taxon does not code is unknown, unless what the taxon shows in the
// character it depends on makes it inapplicable: then it shows none of its states. Chains
// (a dependant of a dependant) are followed.
void ImportMapper::withoutInapplicable(const Item& item, QStringList& shows) const {
    for (bool changed = true; changed;) {
        changed = false;
        for (const Dependency& d : m_data.dependencies) {
            const int controller = m_questionOf.value(d.controller, -1),
                      dependant = m_questionOf.value(d.dependant, -1);
            if (controller < 0 || dependant < 0 || !m_data.characters[d.controller].isMultistate())
                continue;
            const auto coded = item.attributes.constFind(d.dependant);
            if (coded != item.attributes.cend() && coded->kind == Attribute::Coded) continue;
            bool showsController = false, applies = false;
            const PlannedQuestion& c = m_plan.questions[controller];
            for (int k = 0; k < c.states.size(); ++k) {
                if (!shows.contains(c.states[k].key)) continue;
                showsController = true;
                for (int st : m_keyStates[controller][k].states)
                    applies = applies || d.applicableUnder.contains(st);
            }
            if (!showsController || applies) continue;
            for (const PlannedState& st : m_plan.questions[dependant].states)
                changed = shows.removeAll(st.key) > 0 || changed;
        }
    }
}

// Questions the taxon leaves unknown: no value (and no implicit one) or an explicit unknown.
// A question made inapplicable by the character it depends on shows nothing and is coded.
QStringList ImportMapper::uncodedQuestions(const Item& item, const QStringList& shows) const {
    QStringList out;
    const QSet<QString> shown(shows.begin(), shows.end());
    for (const PlannedQuestion& q : m_plan.questions) {
        const auto a = item.attributes.constFind(q.character);
        const bool unknown = a == item.attributes.cend()
                                 ? m_data.characters[q.character].implicitState < 0
                                 : a->kind == Attribute::Unknown;
        if (!unknown) continue;
        const bool showsAny =
            std::any_of(q.states.begin(), q.states.end(),
                        [&](const PlannedState& st) { return shown.contains(st.key); });
        if (showsAny) out << q.key;
    }
    return out;
}

// Every character the taxon has something for, in the dataset's order, as one sentence each.
QString ImportMapper::describe(const Item& item) const {
    QStringList sentences;
    for (auto it = item.attributes.cbegin(); it != item.attributes.cend(); ++it) {
        const Character& ch = m_data.characters[it.key()];
        const Attribute& a = it.value();
        QString value;
        if (a.kind == Attribute::Inapplicable) continue;
        if (a.kind == Attribute::Variable) value = QStringLiteral("variable");
        if (a.kind == Attribute::Unknown && a.text.isEmpty()) continue;
        QStringList parts;
        for (int s : a.states) parts << ch.states.value(s).label;
        for (const NumericRange& r : a.ranges)
            parts << numericstates::text(r, QStringLiteral("–")) +
                         (ch.unit.isEmpty() ? QString() : QLatin1Char(' ') + ch.unit);
        if (!parts.isEmpty()) value = parts.join(QStringLiteral(" or "));
        if (!a.text.isEmpty())
            value += (value.isEmpty() ? QString() : QStringLiteral(" (")) + a.text +
                     (value.isEmpty() ? QString() : QStringLiteral(")"));
        if (!value.isEmpty())
            sentences << ch.wording() + QStringLiteral(": ") + value + QLatin1Char('.');
    }
    return sentences.join(QLatin1Char('\n'));
}

}  // namespace authoring
