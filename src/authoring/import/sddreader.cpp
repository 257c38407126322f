#include "authoring/import/sddreader.h"

#include "authoring/import/datasetfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace authoring {

namespace {

QString withoutTags(const QString& html) {
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    QString s = html;
    return s.remove(tag).simplified();
}

}  // namespace

void SddReader::note(const XmlElement& e, const QString& message) {
    if (m_out->notes.size() < 1000)
        m_out->notes << QStringLiteral("%1:%2: %3")
                            .arg(QFileInfo(m_file).fileName())
                            .arg(e.line)
                            .arg(message);
}

// The label in the dataset's language, else the first; labels may carry escaped HTML.
QString SddReader::label(const XmlElement* e, bool html) const {
    const XmlElement* r = e ? e->child(QStringLiteral("Representation")) : nullptr;
    if (!r) return {};
    const XmlElement* chosen = nullptr;
    for (const XmlElement* l : r->all(QStringLiteral("Label")))
        if (!chosen || l->attributes.value(QStringLiteral("xml:lang")) == m_language) chosen = l;
    if (!chosen) return {};
    if (!html) return withoutTags(chosen->text);
    static const QRegularExpression other(QStringLiteral("<(?!/?(i|b|sub|sup)>)[^>]*>"));
    QString s = chosen->text;
    return s.remove(other).simplified();
}

QString SddReader::mediaOf(const XmlElement* representation) const {
    if (!representation) return {};
    for (const XmlElement* m : representation->all(QStringLiteral("MediaObject")))
        if (const QString p = m_mediaById.value(m->attributes.value(QStringLiteral("ref")));
            !p.isEmpty())
            return p;
    return {};
}

bool SddReader::read(const QString& file, Dataset& out, int datasetIndex) {
    m_out = &out;
    m_file = file;
    m_folder = QFileInfo(file).absolutePath();
    out = Dataset();
    out.origin = file;
    out.format = Dataset::Sdd;
    QByteArray bytes;
    if (!datasetfiles::read(file, datasetfiles::kTextLimit, bytes, m_error)) return false;
    XmlElement root;
    QString error;
    int line = 0;
    if (!readXml(bytes, root, error, line))
        return (m_error = QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(error), false);
    const auto sets = root.name == QLatin1String("Dataset") ? std::vector<const XmlElement*>{&root}
                                                            : root.all(QStringLiteral("Dataset"));
    if (datasetIndex < 0 || size_t(datasetIndex) >= sets.size())
        return (m_error = QStringLiteral("%1:%2: no Dataset %3 in the file")
                              .arg(file)
                              .arg(root.line)
                              .arg(datasetIndex + 1),
                false);
    const XmlElement& dataset = *sets[size_t(datasetIndex)];
    m_language = dataset.attributes.value(QStringLiteral("xml:lang"));
    out.title = label(&dataset);
    if (out.title.isEmpty()) out.title = QFileInfo(file).completeBaseName();
    media(dataset);
    characters(dataset);
    if (out.characters.isEmpty())
        return (
            m_error =
                QStringLiteral("%1:%2: the dataset has no characters").arg(file).arg(dataset.line),
            false);
    if (const XmlElement* all = dataset.child(QStringLiteral("CodedDescriptions"));
        all && all->all(QStringLiteral("CodedDescription")).size() > size_t(kMaxTaxa))
        return (m_error = QStringLiteral("%1:%2: %3").arg(file).arg(all->line).arg(tooManyTaxa()),
                false);
    characterTree(dataset);
    descriptions(dataset);
    if (out.items.isEmpty())
        return (m_error = QStringLiteral("%1:%2: the dataset has no coded descriptions")
                              .arg(file)
                              .arg(dataset.line),
                false);
    return true;
}

void SddReader::media(const XmlElement& dataset) {
    const XmlElement* all = dataset.child(QStringLiteral("MediaObjects"));
    if (!all) return;
    for (const XmlElement* m : all->all(QStringLiteral("MediaObject"))) {
        const XmlElement* type = m->child(QStringLiteral("Type"));
        const XmlElement* source = m->child(QStringLiteral("Source"));
        if (!source || (type && type->text.trimmed() != QLatin1String("Image"))) continue;
        const QString href = source->attributes.value(QStringLiteral("href"));
        if (href.contains(QStringLiteral("://"))) continue;  // web pictures are not copied
        const QString path = datasetfiles::inside(m_folder, href);
        if (path.isEmpty() || !QFileInfo(path).isFile()) {
            note(*m,
                 QStringLiteral("picture %1 is missing or outside the file's folder").arg(href));
            continue;
        }
        m_mediaById.insert(m->attributes.value(QStringLiteral("id")), path);
    }
}

void SddReader::characters(const XmlElement& dataset) {
    const XmlElement* all = dataset.child(QStringLiteral("Characters"));
    if (!all) return;
    for (const XmlElement& e : all->children) {
        Character c;
        c.id = e.attributes.value(QStringLiteral("id"));
        if (e.name == QLatin1String("CategoricalCharacter")) {
            c.type = Character::Unordered;
        } else if (e.name == QLatin1String("QuantitativeCharacter")) {
            c.type = Character::Real;
            const XmlElement* unit = e.child(QStringLiteral("MeasurementUnit"));
            if (unit && unit->child(QStringLiteral("Label")))
                c.unit = withoutTags(unit->child(QStringLiteral("Label"))->text);
        } else if (e.name == QLatin1String("TextCharacter")) {
            c.type = Character::Text;
        } else {
            continue;
        }
        if (c.id.isEmpty() || m_characterById.contains(c.id)) {
            note(e, QStringLiteral(
                        "a character without an id, or with an id used twice, is left out"));
            continue;
        }
        c.label = label(&e);
        c.fullText = c.label;
        c.image = mediaOf(e.child(QStringLiteral("Representation")));
        const int index = int(m_out->characters.size());
        if (const XmlElement* states = e.child(QStringLiteral("States")))
            for (const XmlElement* s : states->all(QStringLiteral("StateDefinition"))) {
                const QString id = s->attributes.value(QStringLiteral("id"));
                m_stateById.insert(id, qMakePair(index, int(c.states.size())));
                c.states << CharacterState{
                    id, label(s), mediaOf(s->child(QStringLiteral("Representation"))), {}};
            }
        m_characterById.insert(c.id, index);
        m_out->characters << c;
    }
}

// Groups are the concepts of the tree's nodes; the tree's order is the author's order.
void SddReader::characterTree(const XmlElement& dataset) {
    const XmlElement* trees = dataset.child(QStringLiteral("CharacterTrees"));
    const XmlElement* tree = trees ? trees->child(QStringLiteral("CharacterTree")) : nullptr;
    const XmlElement* nodes = tree ? tree->child(QStringLiteral("Nodes")) : nullptr;
    if (!nodes) return;
    QHash<QString, QString> concepts;
    if (const XmlElement* all = dataset.child(QStringLiteral("DescriptiveConcepts")))
        for (const XmlElement* c : all->all(QStringLiteral("DescriptiveConcept")))
            concepts.insert(c->attributes.value(QStringLiteral("id")), label(c));
    QHash<QString, QString> parentOf, groupOf;
    QHash<QString, const XmlElement*> ruleOf;
    QList<QPair<QString, int>> placed;  // parent node, character
    for (const XmlElement& n : nodes->children) {
        const XmlElement* parent = n.child(QStringLiteral("Parent"));
        const QString parentId =
            parent ? parent->attributes.value(QStringLiteral("ref")) : QString();
        if (n.name == QLatin1String("Node")) {
            const QString id = n.attributes.value(QStringLiteral("id"));
            parentOf.insert(id, parentId);
            const XmlElement* dc = n.child(QStringLiteral("DescriptiveConcept"));
            groupOf.insert(
                id, dc ? concepts.value(dc->attributes.value(QStringLiteral("ref"))) : label(&n));
            if (const XmlElement* r = n.child(QStringLiteral("DependencyRules")))
                ruleOf.insert(id, r);
        } else if (n.name == QLatin1String("CharNode")) {
            const XmlElement* ch = n.child(QStringLiteral("Character"));
            const int c =
                ch ? m_characterById.value(ch->attributes.value(QStringLiteral("ref")), -1) : -1;
            if (c < 0) {
                note(n, QStringLiteral("a character node names no known character"));
                continue;
            }
            placed << qMakePair(parentId, c);
            if (const XmlElement* r = n.child(QStringLiteral("DependencyRules"))) rule(*r, {c});
        }
    }
    QSet<QString> seen;
    for (const auto& [parent, c] : placed) {
        QString at = parent;
        for (int guard = 0; !at.isEmpty() && guard < 100 && m_out->characters[c].group.isEmpty();
             ++guard)
            m_out->characters[c].group = groupOf.value(at), at = parentOf.value(at);
        for (at = parent; !at.isEmpty() && !seen.contains(at + QString::number(c));
             at = parentOf.value(at)) {
            seen.insert(at + QString::number(c));
            if (ruleOf.contains(at)) rule(*ruleOf.value(at), {c});
        }
    }
    // The tree's order first, then the characters it leaves out.
    QList<int> order;
    for (const auto& p : placed)
        if (!order.contains(p.second)) order << p.second;
    for (int c = 0; c < m_out->characters.size(); ++c)
        if (!order.contains(c)) order << c;
    QList<Character> sorted;
    for (int c : order) sorted << m_out->characters[c];
    QHash<int, int> newIndex;
    for (int k = 0; k < order.size(); ++k) newIndex[order[k]] = k;
    m_out->characters = sorted;
    for (auto& id : m_characterById) id = newIndex.value(id);
    for (auto& s : m_stateById) s.first = newIndex.value(s.first);
    for (Dependency& d : m_out->dependencies)
        d.controller = newIndex.value(d.controller), d.dependant = newIndex.value(d.dependant);
}

void SddReader::rule(const XmlElement& rules, const QList<int>& dependants) {
    for (const XmlElement& r : rules.children) {
        const bool only = r.name == QLatin1String("OnlyApplicableIf");
        if (!only && r.name != QLatin1String("InapplicableIf")) continue;
        QHash<int, QSet<int>> listed;  // controller -> states listed
        for (const XmlElement* s : r.all(QStringLiteral("State"))) {
            const auto it = m_stateById.constFind(s->attributes.value(QStringLiteral("ref")));
            if (it == m_stateById.constEnd()) {
                note(*s, QStringLiteral("a dependency names an unknown state"));
                continue;
            }
            listed[it->first].insert(it->second);
        }
        for (auto it = listed.cbegin(); it != listed.cend(); ++it) {
            QList<int> under;
            for (int s = 0; s < m_out->characters[it.key()].states.size(); ++s)
                if (it.value().contains(s) == only) under << s;
            for (int d : dependants)
                if (d != it.key()) m_out->dependencies << Dependency{it.key(), under, d};
        }
    }
}

// The family of a taxon is the top of its branch in the first taxon hierarchy.
QHash<QString, QString> SddReader::hierarchy(
    const XmlElement& dataset, const QHash<QString, QPair<QString, QString>>& taxa) const {
    QHash<QString, QString> out, parentOf, taxonOf;  // taxon -> family; node -> parent, taxon
    const XmlElement* nodes = dataset.at(QStringLiteral("TaxonHierarchies/TaxonHierarchy/Nodes"));
    if (!nodes) return out;
    for (const XmlElement* n : nodes->all(QStringLiteral("Node"))) {
        const XmlElement* parent = n->child(QStringLiteral("Parent"));
        const XmlElement* taxon = n->child(QStringLiteral("TaxonName"));
        const QString id = n->attributes.value(QStringLiteral("id"));
        if (parent) parentOf.insert(id, parent->attributes.value(QStringLiteral("ref")));
        if (taxon) taxonOf.insert(id, taxon->attributes.value(QStringLiteral("ref")));
    }
    for (auto it = taxonOf.cbegin(); it != taxonOf.cend(); ++it) {
        QString top = it.key();
        for (int guard = 0; parentOf.contains(top) && guard < 100; ++guard)
            top = parentOf.value(top);
        if (top != it.key()) out.insert(it.value(), taxa.value(taxonOf.value(top)).first);
    }
    return out;
}

void SddReader::descriptions(const XmlElement& dataset) {
    QHash<QString, QPair<QString, QString>> taxa;  // id -> plain and html names
    if (const XmlElement* names = dataset.child(QStringLiteral("TaxonNames")))
        for (const XmlElement* t : names->all(QStringLiteral("TaxonName")))
            taxa.insert(t->attributes.value(QStringLiteral("id")),
                        qMakePair(label(t), label(t, true)));
    const QHash<QString, QString> families = hierarchy(dataset, taxa);
    const XmlElement* all = dataset.child(QStringLiteral("CodedDescriptions"));
    if (!all) return;
    for (const XmlElement* d : all->all(QStringLiteral("CodedDescription"))) {
        Item item;
        item.id = d->attributes.value(QStringLiteral("id"));
        const XmlElement* scope = d->at(QStringLiteral("Scope/TaxonName"));
        const auto taxon = scope ? taxa.value(scope->attributes.value(QStringLiteral("ref")))
                                 : QPair<QString, QString>();
        item.name = taxon.first.isEmpty() ? label(d) : taxon.first;
        item.htmlName = taxon.first.isEmpty() ? label(d, true) : taxon.second;
        if (scope) item.family = families.value(scope->attributes.value(QStringLiteral("ref")));
        if (item.name.isEmpty()) {
            note(*d, QStringLiteral("a description that names no taxon is left out"));
            continue;
        }
        if (const XmlElement* r = d->child(QStringLiteral("Representation")))
            for (const XmlElement* m : r->all(QStringLiteral("MediaObject")))
                if (const QString p = m_mediaById.value(m->attributes.value(QStringLiteral("ref")));
                    !p.isEmpty())
                    item.images << p;
        if (const XmlElement* data = d->child(QStringLiteral("SummaryData"))) summary(*data, item);
        m_out->items << item;
    }
}

void SddReader::summary(const XmlElement& data, Item& item) {
    for (const XmlElement& e : data.children) {
        const int c = m_characterById.value(e.attributes.value(QStringLiteral("ref")), -1);
        if (c < 0) {
            note(e, QStringLiteral("%1: data for an unknown character").arg(item.name));
            continue;
        }
        Attribute& a = item.attributes[c];
        const XmlElement* status = e.child(QStringLiteral("Status"));
        if (status &&
            status->attributes.value(QStringLiteral("code")) == QLatin1String("NotApplicable") &&
            a.kind != Attribute::Coded)
            a.kind = Attribute::Inapplicable;
        if (e.name == QLatin1String("Categorical")) {
            for (const XmlElement* s : e.all(QStringLiteral("State"))) {
                const auto it = m_stateById.constFind(s->attributes.value(QStringLiteral("ref")));
                if (it == m_stateById.constEnd() || it->first != c) {
                    note(*s, QStringLiteral("%1: a state of another character").arg(item.name));
                } else if (!a.states.contains(it->second)) {
                    a.states << it->second;
                    a.kind = Attribute::Coded;
                }
            }
        } else if (e.name == QLatin1String("Quantitative")) {
            QHash<QString, double> m;
            for (const XmlElement* x : e.all(QStringLiteral("Measure"))) {
                bool ok = false;
                const double v = x->attributes.value(QStringLiteral("value")).toDouble(&ok);
                if (ok && std::isfinite(v))
                    m.insert(x->attributes.value(QStringLiteral("type")), v);
            }
            auto range = [&](const char* lo, const char* hi) {
                const QString l = QString::fromLatin1(lo), h = QString::fromLatin1(hi);
                if (!m.contains(l) && !m.contains(h)) return false;
                const double a1 = m.value(l, m.value(h)), b1 = m.value(h, m.value(l));
                a.ranges << NumericRange{std::min(a1, b1), std::max(a1, b1)};
                return true;
            };
            if (range("Min", "Max") || range("UMethLower", "UMethUpper") || range("Mean", "Mean"))
                a.kind = Attribute::Coded;
        } else if (e.name == QLatin1String("TextChar")) {
            if (const XmlElement* content = e.child(QStringLiteral("Content"))) {
                a.text = withoutTags(content->text);
                if (!a.text.isEmpty()) a.kind = Attribute::Coded;
            }
        }
    }
}

}  // namespace authoring
