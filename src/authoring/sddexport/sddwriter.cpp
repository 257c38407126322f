#include "authoring/sddexport/sddwriter.h"

#include <QSet>
#include <QXmlStreamWriter>
#include <algorithm>
#include <cmath>
#include <optional>

namespace authoring {

namespace {

const QString kNamespace = QStringLiteral("http://rs.tdwg.org/UBIF/2006/");

// Whether text is an XML name without a colon, kept to ASCII so every reader takes it.
bool isPlainName(const QString& text) {
    if (text.isEmpty() || text.size() > 200) return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
        const bool other = (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
        if (!letter && (i == 0 || !other)) return false;
    }
    return true;
}

// Every id of the document is unique (the schema asks it across all objects). Questions and
// states keep their keys as ids where the key is a valid id, so that an import of the file
// finds the same keys; anything else is numbered.
class Ids {
public:
    QString take(const QString& wanted, const QString& prefix) {
        if (isPlainName(wanted) && !used_.contains(wanted)) return used_.insert(wanted), wanted;
        QString id;
        do id = prefix + QString::number(++counter_[prefix]);
        while (used_.contains(id));
        used_.insert(id);
        return id;
    }
    void reserve(const QString& id) { used_.insert(id); }
    bool isUsed(const QString& id) const { return used_.contains(id); }

private:
    QSet<QString> used_;
    QHash<QString, int> counter_;
};

// XML 1.0 cannot hold most control characters, even escaped: a base's text loses them.
QString xmlText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += text[i], out += text[++i];
            continue;
        }
        const bool allowed = c == u'\t' || c == u'\n' || c == u'\r' || (c >= 0x20 && c < 0xD800) ||
                             (c >= 0xE000 && c < 0xFFFE);
        if (allowed) out += text[i];
    }
    return out;
}

QString number(double v) {
    if (std::isinf(v)) return v < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    return QString::number(v, 'g', 15);
}

class Writer {
public:
    Writer(const SddSourceBase& base, const SddWriteOptions& options, QByteArray* out)
        : base_(base), options_(options), xml_(out) {}
    void write();

private:
    void label(const QString& text, const QString& media = QString());
    // The base's text and, beside it, the text of each other language that gives one.
    void label(const QString& text, kb::BaseTexts::Kind kind, const QString& key,
               const QString& media = QString());
    void representation(const QString& text, const std::optional<kb::BaseTexts::Kind>& kind,
                        const QString& key, const QString& media);
    void translations(kb::BaseTexts::Kind kind, const QString& key, const QString& role = {});
    void assignIds();
    void taxonNames();
    void taxonHierarchy();
    void characters();
    void quantitative(const SddQuestion& q, const QString& id);
    void concepts();
    void measuredStates(const SddQuestion& q, const QString& conceptId);
    void characterTree();
    void descriptions();
    void summary(const SddTaxon& t);
    void media();

    const SddSourceBase& base_;
    const SddWriteOptions& options_;
    QXmlStreamWriter xml_;
    Ids ids_;
    QStringList questionIds_, taxonIds_, familyIds_, groupIds_, families_, groups_;
    QHash<int, QString> stateIds_;     // by state number
    QHash<QString, int> stateByCode_;  // case-folded code
    QHash<int, QString> mediaIds_;     // by state number
    QStringList languages_;            // of the texts table, but the file's own
    // Measured questions: their states are concept states, one concept per question.
    QHash<QString, QString> measuredConceptIds_;  // by question key
    QHash<int, QString> conceptStateIds_;         // by state number
};

void Writer::label(const QString& text, const QString& mediaId) {
    representation(text, std::nullopt, QString(), mediaId);
}

void Writer::label(const QString& text, kb::BaseTexts::Kind kind, const QString& key,
                   const QString& mediaId) {
    representation(text, kind, key, mediaId);
}

void Writer::representation(const QString& text, const std::optional<kb::BaseTexts::Kind>& kind,
                            const QString& key, const QString& mediaId) {
    xml_.writeStartElement(QStringLiteral("Representation"));
    xml_.writeTextElement(QStringLiteral("Label"), xmlText(text));
    if (kind) translations(*kind, key);
    if (!mediaId.isEmpty()) {
        xml_.writeEmptyElement(QStringLiteral("MediaObject"));
        xml_.writeAttribute(QStringLiteral("ref"), mediaId);
    }
    xml_.writeEndElement();
}

void Writer::translations(kb::BaseTexts::Kind kind, const QString& key, const QString& role) {
    for (const QString& language : languages_) {
        const std::optional<QString> text = base_.texts.find(language, kind, key);
        if (!text || text->trimmed().isEmpty()) continue;
        xml_.writeStartElement(QStringLiteral("Label"));
        xml_.writeAttribute(QStringLiteral("xml:lang"), language);
        if (!role.isEmpty()) xml_.writeAttribute(QStringLiteral("role"), role);
        xml_.writeCharacters(xmlText(*text));
        xml_.writeEndElement();
    }
}

void Writer::assignIds() {
    for (const QString& language : base_.texts.languages())
        if (language.compare(options_.language, Qt::CaseInsensitive) != 0) languages_ << language;
    for (const SddQuestion& q : base_.questions)
        if (!q.measured())
            for (const SddState& s : q.states) stateIds_.insert(s.number, ids_.take(s.code, "s"));
    for (const SddQuestion& q : base_.questions) {
        questionIds_ << ids_.take(q.key, QStringLiteral("c"));
        for (const SddState& s : q.states) stateByCode_.insert(s.code.toCaseFolded(), s.number);
        if (!q.group.isEmpty() && !groups_.contains(q.group)) groups_ << q.group;
    }
    for (const SddTaxon& t : base_.taxa)
        if (!t.family.isEmpty() && !families_.contains(t.family)) families_ << t.family;
    for (qsizetype i = 0; i < base_.taxa.size(); ++i) taxonIds_ << ids_.take({}, "t");
    for (qsizetype i = 0; i < families_.size(); ++i) familyIds_ << ids_.take({}, "f");
    for (qsizetype i = 0; i < groups_.size(); ++i) groupIds_ << ids_.take({}, "dc");
    for (const SddQuestion& q : base_.questions) {
        if (!q.measured()) continue;
        measuredConceptIds_.insert(q.key, ids_.take({}, "dc"));
        for (const SddState& s : q.states)
            conceptStateIds_.insert(s.number, ids_.take(s.code, "s"));
    }
    QList<int> pictured = options_.statePictures.keys();
    std::sort(pictured.begin(), pictured.end());
    for (int s : pictured)
        if (stateIds_.contains(s)) mediaIds_.insert(s, ids_.take({}, "m"));
}

void Writer::write() {
    assignIds();
    xml_.setAutoFormatting(true);
    xml_.setAutoFormattingIndent(1);
    xml_.writeStartDocument();
    xml_.writeDefaultNamespace(kNamespace);
    xml_.writeStartElement(kNamespace, QStringLiteral("Datasets"));
    xml_.writeStartElement(QStringLiteral("TechnicalMetadata"));
    xml_.writeAttribute(QStringLiteral("created"),
                        options_.created.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ")));
    xml_.writeEmptyElement(QStringLiteral("Generator"));
    xml_.writeAttribute(QStringLiteral("name"), QStringLiteral("Vireka"));
    xml_.writeAttribute(QStringLiteral("notes"), QStringLiteral("vireka-kb export sdd"));
    xml_.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    xml_.writeEndElement();
    xml_.writeStartElement(QStringLiteral("Dataset"));
    xml_.writeAttribute(QStringLiteral("xml:lang"), options_.language);
    label(base_.title, kb::BaseTexts::Kind::Title, QString());
    taxonNames();
    taxonHierarchy();
    concepts();
    characters();
    characterTree();
    descriptions();
    media();
    xml_.writeEndElement();
    xml_.writeEndElement();
    xml_.writeEndDocument();
}

// SDD has no element for vernacular names: each common name is a detail text of the taxon
// name in its language.
void Writer::taxonNames() {
    xml_.writeStartElement(QStringLiteral("TaxonNames"));
    for (qsizetype i = 0; i < base_.taxa.size(); ++i) {
        const SddTaxon& t = base_.taxa[i];
        xml_.writeStartElement(QStringLiteral("TaxonName"));
        xml_.writeAttribute(QStringLiteral("id"), taxonIds_[i]);
        xml_.writeStartElement(QStringLiteral("Representation"));
        xml_.writeTextElement(QStringLiteral("Label"), xmlText(t.name));
        for (const auto& [language, name] : t.commonNames) {
            xml_.writeStartElement(QStringLiteral("Detail"));
            xml_.writeAttribute(QStringLiteral("xml:lang"), language);
            xml_.writeAttribute(QStringLiteral("role"), QStringLiteral("Description"));
            xml_.writeCharacters(xmlText(name));
            xml_.writeEndElement();
        }
        xml_.writeEndElement();
        xml_.writeEndElement();
    }
    for (qsizetype i = 0; i < families_.size(); ++i) {
        xml_.writeStartElement(QStringLiteral("TaxonName"));
        xml_.writeAttribute(QStringLiteral("id"), familyIds_[i]);
        label(families_[i]);
        xml_.writeEndElement();
    }
    xml_.writeEndElement();
}

// Families are the tops of one taxon hierarchy, each species under its family.
void Writer::taxonHierarchy() {
    if (families_.isEmpty()) return;
    xml_.writeStartElement(QStringLiteral("TaxonHierarchies"));
    xml_.writeStartElement(QStringLiteral("TaxonHierarchy"));
    xml_.writeAttribute(QStringLiteral("id"), ids_.take({}, QStringLiteral("th")));
    label(QStringLiteral("Families"));
    xml_.writeTextElement(QStringLiteral("TaxonHierarchyType"),
                          QStringLiteral("UnspecifiedTaxonomy"));
    xml_.writeStartElement(QStringLiteral("Nodes"));
    QStringList familyNodes;
    for (qsizetype i = 0; i < families_.size(); ++i) {
        familyNodes << ids_.take({}, QStringLiteral("hn"));
        xml_.writeStartElement(QStringLiteral("Node"));
        xml_.writeAttribute(QStringLiteral("id"), familyNodes.last());
        xml_.writeEmptyElement(QStringLiteral("TaxonName"));
        xml_.writeAttribute(QStringLiteral("ref"), familyIds_[i]);
        xml_.writeEndElement();
    }
    for (qsizetype i = 0; i < base_.taxa.size(); ++i) {
        xml_.writeStartElement(QStringLiteral("Node"));
        xml_.writeAttribute(QStringLiteral("id"), ids_.take({}, QStringLiteral("hn")));
        if (const qsizetype f = families_.indexOf(base_.taxa[i].family); f >= 0) {
            xml_.writeEmptyElement(QStringLiteral("Parent"));
            xml_.writeAttribute(QStringLiteral("ref"), familyNodes[f]);
        }
        xml_.writeEmptyElement(QStringLiteral("TaxonName"));
        xml_.writeAttribute(QStringLiteral("ref"), taxonIds_[i]);
        xml_.writeEndElement();
    }
    xml_.writeEndElement();
    xml_.writeEndElement();
    xml_.writeEndElement();
}

// The groups, then one concept per measured question holding its states: SDD gives a
// quantitative character no states of its own, and its mappings name these.
void Writer::concepts() {
    if (groups_.isEmpty() && measuredConceptIds_.isEmpty()) return;
    xml_.writeStartElement(QStringLiteral("DescriptiveConcepts"));
    for (qsizetype i = 0; i < groups_.size(); ++i) {
        xml_.writeStartElement(QStringLiteral("DescriptiveConcept"));
        xml_.writeAttribute(QStringLiteral("id"), groupIds_[i]);
        label(groups_[i], kb::BaseTexts::Kind::Group, groups_[i]);
        xml_.writeEndElement();
    }
    for (const SddQuestion& q : base_.questions)
        if (q.measured()) measuredStates(q, measuredConceptIds_.value(q.key));
    xml_.writeEndElement();
}

void Writer::measuredStates(const SddQuestion& q, const QString& conceptId) {
    xml_.writeStartElement(QStringLiteral("DescriptiveConcept"));
    xml_.writeAttribute(QStringLiteral("id"), conceptId);
    label(q.text, kb::BaseTexts::Kind::Question, q.key);
    xml_.writeStartElement(QStringLiteral("ConceptStates"));
    for (const SddState& s : q.states) {
        xml_.writeStartElement(QStringLiteral("StateDefinition"));
        xml_.writeAttribute(QStringLiteral("id"), conceptStateIds_.value(s.number));
        label(s.label, kb::BaseTexts::Kind::State, s.code);
        xml_.writeEndElement();
    }
    xml_.writeEndElement();
    xml_.writeEndElement();
}

void Writer::characters() {
    xml_.writeStartElement(QStringLiteral("Characters"));
    for (qsizetype i = 0; i < base_.questions.size(); ++i) {
        const SddQuestion& q = base_.questions[i];
        if (q.measured()) {
            quantitative(q, questionIds_[i]);
            continue;
        }
        xml_.writeStartElement(QStringLiteral("CategoricalCharacter"));
        xml_.writeAttribute(QStringLiteral("id"), questionIds_[i]);
        label(q.text, kb::BaseTexts::Kind::Question, q.key);
        xml_.writeStartElement(QStringLiteral("States"));
        for (const SddState& s : q.states) {
            xml_.writeStartElement(QStringLiteral("StateDefinition"));
            xml_.writeAttribute(QStringLiteral("id"), stateIds_.value(s.number));
            label(s.label, kb::BaseTexts::Kind::State, s.code, mediaIds_.value(s.number));
            xml_.writeEndElement();
        }
        xml_.writeEndElement();
        xml_.writeEndElement();
    }
    xml_.writeEndElement();
}

// The states of a measured question are the ranges its mappings give, open ends infinite,
// each mapped to the concept state that words it.
void Writer::quantitative(const SddQuestion& q, const QString& id) {
    xml_.writeStartElement(QStringLiteral("QuantitativeCharacter"));
    xml_.writeAttribute(QStringLiteral("id"), id);
    label(q.text, kb::BaseTexts::Kind::Question, q.key);
    xml_.writeStartElement(QStringLiteral("Mappings"));
    for (const SddState& s : q.states) {
        xml_.writeStartElement(QStringLiteral("Mapping"));
        xml_.writeEmptyElement(QStringLiteral("From"));
        xml_.writeAttribute(QStringLiteral("lower"), number(s.range.low));
        xml_.writeAttribute(QStringLiteral("upper"), number(s.range.high));
        xml_.writeEmptyElement(QStringLiteral("ToState"));
        xml_.writeAttribute(QStringLiteral("ref"), conceptStateIds_.value(s.number));
        xml_.writeEndElement();
    }
    xml_.writeEndElement();
    if (!q.unit.isEmpty()) {
        xml_.writeStartElement(QStringLiteral("MeasurementUnit"));
        xml_.writeStartElement(QStringLiteral("Label"));
        xml_.writeAttribute(QStringLiteral("role"), QStringLiteral("Abbrev"));
        xml_.writeCharacters(xmlText(q.unit));
        xml_.writeEndElement();
        translations(kb::BaseTexts::Kind::Unit, q.key, QStringLiteral("Abbrev"));
        xml_.writeEndElement();
    }
    xml_.writeEndElement();
}

// One tree: a node per group, each question under its group in the order of the base; a
// question that applies only under some states says so in its node.
void Writer::characterTree() {
    xml_.writeStartElement(QStringLiteral("CharacterTrees"));
    xml_.writeStartElement(QStringLiteral("CharacterTree"));
    xml_.writeAttribute(QStringLiteral("id"), ids_.take({}, QStringLiteral("ct")));
    label(QStringLiteral("Questions"));
    xml_.writeTextElement(QStringLiteral("ShouldContainAllCharacters"), QStringLiteral("true"));
    xml_.writeStartElement(QStringLiteral("Nodes"));
    QStringList groupNodes;
    for (qsizetype i = 0; i < groups_.size(); ++i) {
        groupNodes << ids_.take({}, QStringLiteral("cn"));
        xml_.writeStartElement(QStringLiteral("Node"));
        xml_.writeAttribute(QStringLiteral("id"), groupNodes.last());
        xml_.writeEmptyElement(QStringLiteral("DescriptiveConcept"));
        xml_.writeAttribute(QStringLiteral("ref"), groupIds_[i]);
        xml_.writeEndElement();
    }
    for (qsizetype i = 0; i < base_.questions.size(); ++i) {
        const SddQuestion& q = base_.questions[i];
        xml_.writeStartElement(QStringLiteral("CharNode"));
        if (const qsizetype g = groups_.indexOf(q.group); g >= 0 && !q.group.isEmpty()) {
            xml_.writeEmptyElement(QStringLiteral("Parent"));
            xml_.writeAttribute(QStringLiteral("ref"), groupNodes[g]);
        }
        QStringList under;
        for (const QString& code : q.conditions)
            if (const QString s = stateIds_.value(stateByCode_.value(code.toCaseFolded(), -1));
                !s.isEmpty())
                under << s;
        if (!under.isEmpty()) {
            xml_.writeStartElement(QStringLiteral("DependencyRules"));
            xml_.writeStartElement(QStringLiteral("OnlyApplicableIf"));
            for (const QString& s : under) {
                xml_.writeEmptyElement(QStringLiteral("State"));
                xml_.writeAttribute(QStringLiteral("ref"), s);
            }
            xml_.writeEndElement();
            xml_.writeEndElement();
        }
        xml_.writeEmptyElement(QStringLiteral("Character"));
        xml_.writeAttribute(QStringLiteral("ref"), questionIds_[i]);
        xml_.writeEndElement();
    }
    xml_.writeEndElement();
    xml_.writeEndElement();
    xml_.writeEndElement();
}

void Writer::descriptions() {
    xml_.writeStartElement(QStringLiteral("CodedDescriptions"));
    for (qsizetype i = 0; i < base_.taxa.size(); ++i) {
        xml_.writeStartElement(QStringLiteral("CodedDescription"));
        xml_.writeAttribute(QStringLiteral("id"), ids_.take({}, QStringLiteral("D")));
        label(base_.taxa[i].name);
        xml_.writeStartElement(QStringLiteral("Scope"));
        xml_.writeEmptyElement(QStringLiteral("TaxonName"));
        xml_.writeAttribute(QStringLiteral("ref"), taxonIds_[i]);
        xml_.writeEndElement();
        summary(base_.taxa[i]);
        xml_.writeEndElement();
    }
    xml_.writeEndElement();
}

// The values a taxon shows of a measured question, from the states it shows. SDD measures are
// numbers: an open end reaches one state's width beyond its finite bound (the widest closed
// state of the question, else 1), so that the values still lie past that bound.
std::pair<double, double> measuredExtent(const SddQuestion& q,
                                         const QList<const SddState*>& shown) {
    double width = 0;
    for (const SddState& s : q.states)
        if (std::isfinite(s.range.low) && std::isfinite(s.range.high))
            width = std::max(width, s.range.high - s.range.low);
    if (width <= 0) width = 1;
    double low = std::numeric_limits<double>::infinity(), high = -low;
    for (const SddState* s : shown) {
        const bool openLow = std::isinf(s->range.low), openHigh = std::isinf(s->range.high);
        if (openLow && openHigh) return {-low, low};
        low = std::min(low, openLow ? s->range.high - width : s->range.low);
        high = std::max(high, openHigh ? s->range.low + width : s->range.high);
    }
    return {low, high};
}

// What a taxon says of each question it codes: the states it shows, or none (the question
// does not apply to it). A question left uncoded says nothing, nor does a measured question
// whose values have no finite bounds (a state open on both sides).
QList<std::pair<qsizetype, QList<const SddState*>>> codedData(const SddSourceBase& base,
                                                              const SddTaxon& t) {
    QList<std::pair<qsizetype, QList<const SddState*>>> out;
    for (qsizetype i = 0; i < base.questions.size(); ++i) {
        const SddQuestion& q = base.questions[i];
        if (t.uncoded.contains(q.key.toCaseFolded())) continue;
        QList<const SddState*> shown;
        for (const SddState& s : q.states)
            if (t.shows.contains(s.number)) shown << &s;
        if (q.measured() && !shown.isEmpty()) {
            const auto [low, high] = measuredExtent(q, shown);
            if (std::isinf(low) || std::isinf(high)) continue;
        }
        out.append({i, shown});
    }
    return out;
}

// A taxon shows the states of its row of the matrix. One that shows none of a question's
// states is ruled out by any answer: the question does not apply to it. A measured question
// gives the extremes of the ranges shown. A taxon that codes nothing has no summary (the
// schema wants at least one datum in one).
void Writer::summary(const SddTaxon& t) {
    const auto data = codedData(base_, t);
    if (data.isEmpty()) return;
    xml_.writeStartElement(QStringLiteral("SummaryData"));
    for (const auto& [i, shown] : data) {
        const SddQuestion& q = base_.questions[i];
        xml_.writeStartElement(q.measured() ? QStringLiteral("Quantitative")
                                            : QStringLiteral("Categorical"));
        xml_.writeAttribute(QStringLiteral("ref"), questionIds_[i]);
        if (shown.isEmpty()) {
            xml_.writeEmptyElement(QStringLiteral("Status"));
            xml_.writeAttribute(QStringLiteral("code"), QStringLiteral("NotApplicable"));
        } else if (q.measured()) {
            const auto [low, high] = measuredExtent(q, shown);
            for (const auto& [type, value] : {std::pair{"Min", low}, std::pair{"Max", high}}) {
                xml_.writeEmptyElement(QStringLiteral("Measure"));
                xml_.writeAttribute(QStringLiteral("type"), QLatin1String(type));
                xml_.writeAttribute(QStringLiteral("value"), number(value));
            }
        } else {
            for (const SddState* s : shown) {
                xml_.writeEmptyElement(QStringLiteral("State"));
                xml_.writeAttribute(QStringLiteral("ref"), stateIds_.value(s->number));
            }
        }
        xml_.writeEndElement();
    }
    xml_.writeEndElement();
}

void Writer::media() {
    if (mediaIds_.isEmpty()) return;
    QList<int> states = mediaIds_.keys();
    std::sort(states.begin(), states.end());
    xml_.writeStartElement(QStringLiteral("MediaObjects"));
    for (int s : states) {
        xml_.writeStartElement(QStringLiteral("MediaObject"));
        xml_.writeAttribute(QStringLiteral("id"), mediaIds_.value(s));
        label(stateIds_.value(s));
        xml_.writeTextElement(QStringLiteral("Type"), QStringLiteral("Image"));
        xml_.writeEmptyElement(QStringLiteral("Source"));
        xml_.writeAttribute(QStringLiteral("href"), xmlText(options_.statePictures.value(s)));
        xml_.writeEndElement();
    }
    xml_.writeEndElement();
}

}  // namespace

QByteArray sddDocument(const SddSourceBase& base, const SddWriteOptions& options) {
    QByteArray out;
    Writer(base, options, &out).write();
    return out;
}

}  // namespace authoring
