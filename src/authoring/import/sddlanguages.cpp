#include "authoring/import/sddreader.h"
#include "authoring/import/sddtext.h"

namespace authoring {

// A label without xml:lang is in the language of what holds it; the language read keeps
// its label as the base's own text, every other gives its first full label (an
// abbreviation only when it has nothing else).
QMap<QString, QString> SddReader::otherLabels(const XmlElement* e) const {
    QMap<QString, QString> out;
    const XmlElement* r = e ? e->child(QStringLiteral("Representation")) : nullptr;
    if (!r) return out;
    const QString inherited = r->attributes.value(
        QStringLiteral("xml:lang"), e->attributes.value(QStringLiteral("xml:lang"), m_declared));
    const XmlElement* chosen = text(e, QStringLiteral("Label"));
    const QString read =
        chosen ? chosen->attributes.value(QStringLiteral("xml:lang"), inherited).toLower()
               : QString();
    QMap<QString, bool> abbreviated;
    for (const XmlElement* l : r->all(QStringLiteral("Label"))) {
        const QString lang = l->attributes.value(QStringLiteral("xml:lang"), inherited).toLower();
        if (lang.isEmpty() || lang == read || l == chosen) continue;
        const bool abbreviation = l->attributes.value(QStringLiteral("role"))
                                      .toLower()
                                      .startsWith(QLatin1String("abbrev"));
        const QString plain = sddtext::plain(l->text);
        if (plain.isEmpty()) continue;
        if (out.contains(lang) && (abbreviation || !abbreviated.value(lang))) continue;
        out.insert(lang, plain);
        abbreviated.insert(lang, abbreviation);
    }
    return out;
}

}  // namespace authoring
