#include "authoring/import/sddreader.h"
#include "authoring/import/sddtext.h"

#include <QRegularExpression>
#include <cmath>

// What an SDD file says beside characters and states: the states of descriptive concepts
// (which name the ranges of quantitative characters), the words of groups in every
// language, and the common names of taxa.
namespace authoring {

void SddReader::conceptStates(const XmlElement& dataset) {
    const XmlElement* all = dataset.child(QStringLiteral("DescriptiveConcepts"));
    if (!all) return;
    for (const XmlElement* c : all->all(QStringLiteral("DescriptiveConcept")))
        if (const XmlElement* states = c->child(QStringLiteral("ConceptStates")))
            for (const XmlElement* s : states->all(QStringLiteral("StateDefinition")))
                if (const QString id = s->attributes.value(QStringLiteral("id")); !id.isEmpty())
                    m_conceptStates.insert(id, s);
}

// The ranges a quantitative character is asked by: "Mappings" that part its values into
// categories, as DELTA's key states do (a "From" with its bounds; "INF" and "-INF" stand for
// open ends). A mapping to a concept state takes that state's words, in every language, as
// the range's label (unless two ranges name one state: then each says its bounds). Mappings
// that point into a categorical character's states are not ranges of this one and are left
// alone, as is a set whose bounds cannot be read or whose ranges go backwards: the import
// then chooses the ranges itself.
QList<KeyState> SddReader::rangeCategories(const XmlElement& character) const {
    QList<KeyState> keys;
    const XmlElement* mappings = character.child(QStringLiteral("Mappings"));
    if (!mappings) return keys;
    const auto bound = [](const QString& text, double open, double* v) {
        const QString t = text.trimmed();
        if (t.isEmpty()) return *v = open, true;
        if (t == QLatin1String("INF") || t == QLatin1String("+INF")) return *v = kUnbounded, true;
        if (t == QLatin1String("-INF")) return *v = -kUnbounded, true;
        bool ok = false;
        *v = t.toDouble(&ok);
        return ok && std::isfinite(*v);
    };
    bool named = true;  // every concept state is named once at most
    for (const XmlElement* m : mappings->all(QStringLiteral("Mapping"))) {
        const XmlElement* from = m->child(QStringLiteral("From"));
        const XmlElement* to = m->child(QStringLiteral("ToState"));
        const QString state = to ? to->attributes.value(QStringLiteral("ref")) : QString();
        if (!from || (to && !m_conceptStates.contains(state))) return {};
        KeyState k;
        if (!bound(from->attributes.value(QStringLiteral("lower")), -kUnbounded, &k.low) ||
            !bound(from->attributes.value(QStringLiteral("upper")), kUnbounded, &k.high) ||
            k.low > k.high || (!keys.isEmpty() && k.low < keys.last().low))
            return {};
        if (to) {
            const XmlElement* words = m_conceptStates.value(state);
            for (const KeyState& other : std::as_const(keys)) named = named && other.id != state;
            k.id = state, k.label = label(words), k.texts = otherLabels(words);
        }
        keys << k;
    }
    if (!named)
        for (KeyState& k : keys) k.id.clear(), k.label.clear(), k.texts.clear();
    return keys;
}

void SddReader::group(const XmlElement* words, Character& c) {
    if (!words) return;
    c.group = label(words);
    if (c.group.isEmpty() || m_out->groupTexts.contains(c.group)) return;
    if (const QMap<QString, QString> texts = otherLabels(words); !texts.isEmpty())
        m_out->groupTexts.insert(c.group, texts);
}

// SDD has no element for vernacular names; a taxon name's detail text in a stated language
// that reads as a name (one line of at most 100 characters, not a sentence ending in a full
// stop) is taken as its common name in that language, as the export writes them. Other
// details are descriptions, left alone.
QList<std::pair<QString, QString>> SddReader::commonNames(const XmlElement* representation) const {
    QList<std::pair<QString, QString>> out;
    if (!representation) return out;
    static const QRegularExpression tag(QStringLiteral("^([a-z]{2,8})(-[a-z0-9]{1,8})*$"));
    for (const XmlElement* d : representation->all(QStringLiteral("Detail"))) {
        const auto m = tag.match(d->attributes.value(QStringLiteral("xml:lang")).toLower());
        const QString role =
            d->attributes.value(QStringLiteral("role"), QStringLiteral("Description"));
        const QString name = sddtext::plain(d->text).trimmed();
        if (!m.hasMatch() || role != QLatin1String("Description") || name.isEmpty() ||
            name.size() > 100 || name.endsWith(QLatin1Char('.')) ||
            d->text.trimmed().contains(QLatin1Char('\n')))
            continue;
        const QString language = m.captured(1);
        if (std::none_of(out.cbegin(), out.cend(),
                         [&language](const auto& n) { return n.first == language; }))
            out.append({language, name});
    }
    return out;
}

}  // namespace authoring
