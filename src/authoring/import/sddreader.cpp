#include "authoring/import/sddreader.h"

#include "authoring/import/datasetfiles.h"
#include "authoring/import/sddtext.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QUrl>
#include <cmath>

namespace authoring {

namespace {

// How well a text in `language` suits a reader of `wanted`: 0 best. Abbreviations come last.
int languageRank(const XmlElement& text, const QString& inherited, const QString& wanted) {
    const QString lang = text.attributes.value(QStringLiteral("xml:lang"), inherited).toLower();
    const QString want = wanted.toLower();
    int rank = 3;
    if (!want.isEmpty() && lang == want)
        rank = 0;
    else if (!want.isEmpty() &&
             lang.section(QLatin1Char('-'), 0, 0) == want.section(QLatin1Char('-'), 0, 0))
        rank = 1;
    else if (lang.isEmpty())
        rank = 2;
    const QString role = text.attributes.value(QStringLiteral("role")).toLower();
    return role.startsWith(QLatin1String("abbrev")) ? rank + 10 : rank;
}

bool isWebAddress(const QString& href) {
    const QUrl url(href.trimmed(), QUrl::StrictMode);
    return url.isValid() && !url.host().isEmpty() &&
           (url.scheme().toLower() == QLatin1String("http") ||
            url.scheme().toLower() == QLatin1String("https"));
}

}  // namespace

void SddReader::note(const XmlElement& e, const QString& message) {
    if (m_out->notes.size() < 1000)
        m_out->notes << QStringLiteral("%1:%2: %3")
                            .arg(QFileInfo(m_file).fileName())
                            .arg(e.line)
                            .arg(message);
}

// Of the texts named `name` in a representation, the one in the language read (a label
// without xml:lang is in the language of what holds it), else one in no stated language,
// else the first; an abbreviation only when there is nothing else.
const XmlElement* SddReader::text(const XmlElement* e, const QString& name) const {
    const XmlElement* r = e ? e->child(QStringLiteral("Representation")) : nullptr;
    if (!r) return nullptr;
    const QString inherited = r->attributes.value(
        QStringLiteral("xml:lang"), e->attributes.value(QStringLiteral("xml:lang"), m_declared));
    const XmlElement* chosen = nullptr;
    int best = 1000;
    for (const XmlElement* l : r->all(name))
        if (const int rank = languageRank(*l, inherited, m_language); rank < best)
            best = rank, chosen = l;
    return chosen;
}

// A label is plain text; `<length>` and the like are words of it, HTML tags are not.
QString SddReader::label(const XmlElement* e, bool html) const {
    const XmlElement* l = text(e, QStringLiteral("Label"));
    if (!l) return {};
    return html ? sddtext::html(l->text) : sddtext::plain(l->text);
}

QString SddReader::mediaOf(const XmlElement* representation) const {
    if (!representation) return {};
    for (const XmlElement* m : representation->all(QStringLiteral("MediaObject")))
        if (const QString p = m_mediaById.value(m->attributes.value(QStringLiteral("ref")));
            !p.isEmpty())
            return p;
    return {};
}

QList<WebLink> SddReader::linksOf(const XmlElement* representation) {
    QList<WebLink> out;
    if (!representation) return out;
    for (const XmlElement* m : representation->all(QStringLiteral("MediaObject"))) {
        const QString id = m->attributes.value(QStringLiteral("ref"));
        if (!m_linkById.contains(id)) continue;
        out << m_linkById.value(id);
        m_linksUsed.insert(id);
    }
    return out;
}

bool SddReader::read(const QString& file, Dataset& out, int datasetIndex) {
    m_out = &out;
    m_characterById.clear(), m_stateById.clear(), m_mediaById.clear(), m_linkById.clear();
    m_linksUsed.clear(), m_taxonRepresentation.clear(), m_conceptStates.clear();
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
    m_declared = dataset.attributes.value(QStringLiteral("xml:lang"));
    m_language = m_asked.isEmpty() ? m_declared : m_asked;
    out.language = m_language;
    out.title = title(dataset);
    out.titles = otherLabels(&dataset);
    media(dataset);
    conceptStates(dataset);
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
    characterTrees(dataset);
    descriptions(dataset);
    if (out.items.isEmpty())
        return (m_error = QStringLiteral("%1:%2: the dataset has no coded descriptions")
                              .arg(file)
                              .arg(dataset.line),
                false);
    if (!m_linksUsed.isEmpty())
        out.notes << QStringLiteral(
                         "%1 media given as web addresses are kept as links in the "
                         "documents, not fetched")
                         .arg(m_linksUsed.size());
    return true;
}

// The dataset's title: its label, else its longer description when the label is only an
// abbreviation, else the file's name.
QString SddReader::title(const XmlElement& dataset) const {
    const XmlElement* l = text(&dataset, QStringLiteral("Label"));
    const bool abbreviation =
        l &&
        l->attributes.value(QStringLiteral("role")).toLower().startsWith(QLatin1String("abbrev"));
    const XmlElement* detail = text(&dataset, QStringLiteral("Detail"));
    QString t = l ? sddtext::plain(l->text) : QString();
    if ((t.isEmpty() || abbreviation) && detail && !sddtext::plain(detail->text).isEmpty())
        t = sddtext::plain(detail->text).left(200);
    return t.isEmpty() ? QFileInfo(m_file).completeBaseName() : t;
}

void SddReader::media(const XmlElement& dataset) {
    const XmlElement* all = dataset.child(QStringLiteral("MediaObjects"));
    if (!all) return;
    for (const XmlElement* m : all->all(QStringLiteral("MediaObject"))) {
        const XmlElement* type = m->child(QStringLiteral("Type"));
        const XmlElement* source = m->child(QStringLiteral("Source"));
        if (!source) continue;
        const QString href = source->attributes.value(QStringLiteral("href")).trimmed();
        // Media on the web are never fetched: each stays a link to its address.
        if (isWebAddress(href)) {
            const QString name = label(m);
            m_linkById.insert(m->attributes.value(QStringLiteral("id")),
                              WebLink{name.isEmpty() ? href : name, href});
            continue;
        }
        if (type && type->text.trimmed() != QLatin1String("Image")) continue;
        if (href.contains(QStringLiteral("://"))) {
            note(*m, QStringLiteral("medium %1 is neither in the file's folder nor on the web")
                         .arg(href));
            continue;
        }
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
                c.unit = sddtext::plain(unit->child(QStringLiteral("Label"))->text);
            c.keyStates = rangeCategories(e);
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
        c.texts = otherLabels(&e);
        c.fullText = c.label;
        c.bracketsAreWords = true;
        if (const XmlElement* detail = text(&e, QStringLiteral("Detail")))
            if (const QString d = sddtext::plain(detail->text); !d.isEmpty() && d != c.label) {
                c.distinctions << d;
                c.notes = d;  // the dataset's own words on the character, for the documents
            }
        c.image = mediaOf(e.child(QStringLiteral("Representation")));
        c.links = linksOf(e.child(QStringLiteral("Representation")));
        const int index = int(m_out->characters.size());
        if (const XmlElement* states = e.child(QStringLiteral("States")))
            for (const XmlElement* s : states->all(QStringLiteral("StateDefinition"))) {
                const QString id = s->attributes.value(QStringLiteral("id"));
                const XmlElement* r = s->child(QStringLiteral("Representation"));
                m_stateById.insert(id, qMakePair(index, int(c.states.size())));
                if (const QList<WebLink> links = linksOf(r); !links.isEmpty())
                    c.stateLinks.insert(int(c.states.size()), links);
                if (auto texts = otherLabels(s); !texts.isEmpty())
                    c.stateTexts.insert(int(c.states.size()), texts);
                c.states << CharacterState{id, label(s), mediaOf(r), {}};
            }
        m_characterById.insert(c.id, index);
        m_out->characters << c;
    }
}

// A file may hold several character trees: one for the order, another for the groups, a
// third for the rules. The first tree that places characters gives their order (characters
// only later trees place follow, then those none places); each character takes its group
// from the first tree that puts it under a named node; the rules of every tree hold.
void SddReader::characterTrees(const XmlElement& dataset) {
    const XmlElement* trees = dataset.child(QStringLiteral("CharacterTrees"));
    if (!trees) return;
    QHash<QString, const XmlElement*> concepts;
    if (const XmlElement* all = dataset.child(QStringLiteral("DescriptiveConcepts")))
        for (const XmlElement* c : all->all(QStringLiteral("DescriptiveConcept")))
            concepts.insert(c->attributes.value(QStringLiteral("id")), c);
    QList<int> order;
    for (const XmlElement* tree : trees->all(QStringLiteral("CharacterTree")))
        if (const XmlElement* nodes = tree->child(QStringLiteral("Nodes")))
            characterTree(*nodes, concepts, order);
    // Two trees may state the same rule.
    QList<Dependency> rules;
    for (const Dependency& d : std::as_const(m_out->dependencies))
        if (std::none_of(rules.cbegin(), rules.cend(), [&d](const Dependency& r) {
                return r.controller == d.controller && r.dependant == d.dependant &&
                       r.applicableUnder == d.applicableUnder;
            }))
            rules << d;
    m_out->dependencies = rules;
    reorder(order);
}

void SddReader::characterTree(const XmlElement& nodes,
                              const QHash<QString, const XmlElement*>& concepts,
                              QList<int>& order) {
    QHash<QString, QString> parentOf;
    QHash<QString, const XmlElement*> groupOf;  // node -> what words its group
    QHash<QString, const XmlElement*> ruleOf;
    QList<QPair<QString, int>> placed;  // parent node, character
    for (const XmlElement& n : nodes.children) {
        const XmlElement* parent = n.child(QStringLiteral("Parent"));
        const QString parentId =
            parent ? parent->attributes.value(QStringLiteral("ref")) : QString();
        if (n.name == QLatin1String("Node")) {
            const QString id = n.attributes.value(QStringLiteral("id"));
            parentOf.insert(id, parentId);
            const XmlElement* dc = n.child(QStringLiteral("DescriptiveConcept"));
            groupOf.insert(id,
                           dc ? concepts.value(dc->attributes.value(QStringLiteral("ref"))) : &n);
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
        if (!order.contains(c)) order << c;
        QString at = parent;
        for (int guard = 0; !at.isEmpty() && guard < 100 && m_out->characters[c].group.isEmpty();
             ++guard)
            group(groupOf.value(at), m_out->characters[c]), at = parentOf.value(at);
        for (at = parent; !at.isEmpty() && !seen.contains(at + QString::number(c));
             at = parentOf.value(at)) {
            seen.insert(at + QString::number(c));
            if (ruleOf.contains(at)) rule(*ruleOf.value(at), {c});
        }
    }
}

// The characters in the trees' order, then those they leave out; every index follows.
void SddReader::reorder(QList<int> order) {
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
                        qMakePair(label(t), label(t, true))),
                m_taxonRepresentation.insert(t->attributes.value(QStringLiteral("id")),
                                             t->child(QStringLiteral("Representation")));
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
        const XmlElement* named =
            scope ? m_taxonRepresentation.value(scope->attributes.value(QStringLiteral("ref")))
                  : nullptr;
        if (item.name.isEmpty()) {
            note(*d, QStringLiteral("a description that names no taxon is left out"));
            continue;
        }
        if (const XmlElement* r = d->child(QStringLiteral("Representation")))
            for (const XmlElement* m : r->all(QStringLiteral("MediaObject")))
                if (const QString p = m_mediaById.value(m->attributes.value(QStringLiteral("ref")));
                    !p.isEmpty())
                    item.images << p;
        // The taxon's own media, and those of its description.
        for (const XmlElement* r : {named, d->child(QStringLiteral("Representation"))})
            for (const WebLink& l : linksOf(r))
                if (!item.links.contains(l)) item.links << l;
        if (const XmlElement* data = d->child(QStringLiteral("SummaryData"))) summary(*data, item);
        if (auto names = commonNames(named); !names.isEmpty())
            m_out->commonNames.insert(int(m_out->items.size()), names);
        m_out->items << item;
    }
}

namespace {

// The usual range of a quantitative summary is UMethLower..UMethUpper, else Mean +/- SD,
// else Min..Max (or the observed ObsMin..ObsMax), else the Mean. Min, Max, ObsMin and ObsMax
// beside it are extremes: they widen what the taxon shows, never replace its usual range,
// which does not pass them.
bool quantitative(const QHash<QString, double>& m, NumericRange& r) {
    const auto pair = [&m, &r](const char* lo, const char* hi) {
        const QString l = QString::fromLatin1(lo), h = QString::fromLatin1(hi);
        if (!m.contains(l) && !m.contains(h)) return false;
        const double a = m.value(l, m.value(h)), b = m.value(h, m.value(l));
        r.low = std::min(a, b), r.high = std::max(a, b);
        return true;
    };
    const bool spread = m.contains(QStringLiteral("Mean")) && m.contains(QStringLiteral("SD"));
    if (spread) {
        const double mean = m.value(QStringLiteral("Mean")),
                     sd = std::abs(m.value(QStringLiteral("SD")));
        // As a person would compute them: 0.3 - 0.1 is 0.2, not 0.19999999999999998.
        const auto decimal = [](double v) { return QString::number(v, 'g', 12).toDouble(); };
        r.low = decimal(mean - sd), r.high = decimal(mean + sd);
    }
    if (!pair("UMethLower", "UMethUpper") && !spread && !pair("Min", "Max") &&
        !pair("ObsMin", "ObsMax") && !pair("Mean", "Mean"))
        return false;
    double least = kUnbounded, most = -kUnbounded;
    for (const char* k : {"Min", "ObsMin"})
        if (m.contains(QString::fromLatin1(k)))
            least = std::min(least, m.value(QString::fromLatin1(k)));
    for (const char* k : {"Max", "ObsMax"})
        if (m.contains(QString::fromLatin1(k)))
            most = std::max(most, m.value(QString::fromLatin1(k)));
    if (std::isfinite(least)) {
        r.low = std::max(r.low, std::min(least, r.high));
        if (least < r.low) r.extremeLow = least;
    }
    if (std::isfinite(most)) {
        r.high = std::min(r.high, std::max(most, r.low));
        if (most > r.high) r.extremeHigh = most;
    }
    return true;
}

}  // namespace

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
            NumericRange r;
            if (quantitative(m, r)) {
                a.ranges << r;
                a.kind = Attribute::Coded;
            }
        } else if (e.name == QLatin1String("TextChar")) {
            if (const XmlElement* content = e.child(QStringLiteral("Content"))) {
                a.text = sddtext::plain(content->text);
                if (!a.text.isEmpty()) a.kind = Attribute::Coded;
            }
        }
    }
}

}  // namespace authoring
