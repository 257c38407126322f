#include "platform/xmlentities.h"

#include <QHash>
#include <QStringConverter>
#include <QXmlStreamReader>
#include <algorithm>
#include <optional>

namespace platform::xmlentities {

namespace {

// What one reference costs once expanded, nested references included; saturates rather
// than overflows.
struct Cost {
    qint64 chars = 0;
    qint64 expansions = 0;
};

constexpr qint64 kSaturated = qint64(1) << 60;

qint64 add(qint64 a, qint64 b) {
    return std::min(a + b, kSaturated);
}

bool isPredefined(QStringView name) {
    return name == u"lt" || name == u"gt" || name == u"amp" || name == u"quot" || name == u"apos";
}

// Calls `each(name)` for every "&name;" in text that is not a character reference.
template <typename Each>
void forEachReference(QStringView text, Each each) {
    for (qsizetype at = text.indexOf(u'&'); at >= 0; at = text.indexOf(u'&', at + 1)) {
        const qsizetype end = text.indexOf(u';', at + 1);
        if (end < 0) return;
        const QStringView name = text.sliced(at + 1, end - at - 1);
        if (!name.isEmpty() && !name.startsWith(u'#') && !isPredefined(name) &&
            !name.contains(u'&') && !name.contains(u'<'))
            each(name);
    }
}

class Costs {
public:
    explicit Costs(QHash<QString, QString> values) : m_values(std::move(values)) {}

    // The cost of one reference to `name`; an unknown name costs what the dearest entity
    // does (the text may be in an encoding the scan cannot match exactly).
    Cost of(QStringView name, int depth = 0) {
        const QString key = name.toString();
        if (const auto it = m_done.constFind(key); it != m_done.cend()) return *it;
        const auto value = m_values.constFind(key);
        if (value == m_values.cend()) return dearest();
        if (depth > 64 || m_open.contains(key))
            return m_cyclic = true, Cost{kSaturated, kSaturated};
        m_open.insert(key, true);
        Cost c{value->size(), 1};
        forEachReference(*value, [&](QStringView inner) {
            const Cost n = of(inner, depth + 1);
            c.chars = add(c.chars, n.chars);
            c.expansions = add(c.expansions, n.expansions);
        });
        m_open.remove(key);
        m_done.insert(key, c);
        return c;
    }
    bool cyclic() const { return m_cyclic; }

private:
    Cost dearest() {
        if (!m_dearest) {
            m_dearest = Cost{};
            for (auto it = m_values.cbegin(); it != m_values.cend(); ++it)
                if (!m_open.contains(it.key())) {
                    const Cost c = of(it.key());
                    m_dearest->chars = std::max(m_dearest->chars, c.chars);
                    m_dearest->expansions = std::max(m_dearest->expansions, c.expansions);
                }
        }
        return *m_dearest;
    }

    QHash<QString, QString> m_values;
    QHash<QString, Cost> m_done;
    QHash<QString, bool> m_open;
    std::optional<Cost> m_dearest;
    bool m_cyclic = false;
};

// The declared entities: the parser reads the prologue only, up to the document's element.
QHash<QString, QString> declarations(const QByteArray& bytes) {
    QHash<QString, QString> values;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::DTD) {
            for (const QXmlStreamEntityDeclaration& e : xml.entityDeclarations())
                if (e.systemId().isEmpty() && e.publicId().isEmpty())
                    values.insert(e.name().toString(), e.value().toString());
            break;
        }
        if (token == QXmlStreamReader::StartElement) break;
    }
    return values;
}

}  // namespace

bool withinBounds(const QByteArray& bytes, QString& error) {
    if (!bytes.contains("<!ENTITY")) {
        // UTF-16 and UTF-32 files hide the word from a byte search; they are looked at below.
        const auto encoding = QStringConverter::encodingForData(bytes, u'<');
        if (!encoding || *encoding == QStringConverter::Utf8 ||
            *encoding == QStringConverter::Latin1)
            return true;
    }
    QHash<QString, QString> values = declarations(bytes);
    if (values.isEmpty()) return true;
    // The references are counted in the decoded text, whatever the file's encoding.
    const auto encoding = QStringConverter::encodingForData(bytes, u'<');
    QStringDecoder decoder(encoding.value_or(QStringConverter::Utf8));
    const QString text =
        decoder.isValid() ? QString(decoder.decode(bytes)) : QString::fromLatin1(bytes);
    Costs costs(std::move(values));
    Cost total;
    bool over = false;
    forEachReference(text, [&](QStringView name) {
        if (over) return;
        const Cost c = costs.of(name);
        total.chars = add(total.chars, c.chars);
        total.expansions = add(total.expansions, c.expansions);
        over =
            costs.cyclic() || total.chars > kMaxExpandedChars || total.expansions > kMaxExpansions;
    });
    if (costs.cyclic()) return (error = QStringLiteral("an entity refers to itself"), false);
    if (!over) return true;
    error = QStringLiteral(
                "the entities of the file expand to more than %1 characters or %2 expansions; "
                "such a file is refused")
                .arg(kMaxExpandedChars)
                .arg(kMaxExpansions);
    return false;
}

}  // namespace platform::xmlentities
