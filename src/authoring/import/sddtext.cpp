#include "authoring/import/sddtext.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>

namespace authoring::sddtext {

namespace {

// A tag of HTML: a known element's name, optionally closing, with attributes.
const QRegularExpression& tagPattern() {
    static const QRegularExpression tag(
        QStringLiteral("<(/?)([A-Za-z][A-Za-z0-9]*)((?:\\s[^<>]*)?)/?>"));
    return tag;
}

bool isHtmlElement(const QString& name) {
    static const QSet<QString> names{
        "a",   "abbr",  "b",     "big", "blockquote", "br",    "center", "cite",   "code",   "div",
        "em",  "font",  "h1",    "h2",  "h3",         "h4",    "h5",     "h6",     "hr",     "i",
        "img", "li",    "ol",    "p",   "pre",        "small", "span",   "strike", "strong", "sub",
        "sup", "table", "tbody", "td",  "th",         "tr",    "tt",     "u",      "ul"};
    return names.contains(name.toLower());
}

// The element kept in HTML for a typesetting tag, or empty.
QString kept(const QString& name) {
    const QString n = name.toLower();
    if (n == QLatin1String("i") || n == QLatin1String("em")) return QStringLiteral("i");
    if (n == QLatin1String("b") || n == QLatin1String("strong")) return QStringLiteral("b");
    if (n == QLatin1String("sub") || n == QLatin1String("sup")) return n;
    return {};
}

// Block elements and line breaks part words: they become a blank.
bool breaksWords(const QString& name) {
    return kept(name).isEmpty() && name.toLower() != QLatin1String("span") &&
           name.toLower() != QLatin1String("font") && name.toLower() != QLatin1String("a") &&
           name.toLower() != QLatin1String("u") && name.toLower() != QLatin1String("small") &&
           name.toLower() != QLatin1String("big") && name.toLower() != QLatin1String("abbr") &&
           name.toLower() != QLatin1String("cite") && name.toLower() != QLatin1String("code") &&
           name.toLower() != QLatin1String("tt") && name.toLower() != QLatin1String("strike");
}

// Labels that carry HTML typesetting carry its character references too
// (`&lt;b&gt;alba &amp;amp; co&lt;/b&gt;`): a complete reference is read as the character it
// names; anything else, a lone `&` included, stays as written.
QString withCharacters(const QString& text) {
    static const QRegularExpression reference(
        QStringLiteral("&(?:#([0-9]{1,7})|#[xX]([0-9a-fA-F]{1,6})|(amp|lt|gt|quot|apos|nbsp));"));
    if (!text.contains(QLatin1Char('&'))) return text;
    QString out;
    qsizetype at = 0;
    for (auto it = reference.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        char32_t code = 0;
        if (m.capturedLength(1))
            code = m.captured(1).toUInt();
        else if (m.capturedLength(2))
            code = m.captured(2).toUInt(nullptr, 16);
        else {
            const QString name = m.captured(3);
            code = name == QLatin1String("amp")    ? U'&'
                   : name == QLatin1String("lt")   ? U'<'
                   : name == QLatin1String("gt")   ? U'>'
                   : name == QLatin1String("quot") ? U'"'
                   : name == QLatin1String("apos") ? U'\''
                                                   : U'\u00a0';
        }
        // Control characters and values past Unicode are no text: kept as written.
        if (code < 0x20 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) continue;
        out += text.mid(at, m.capturedStart(0) - at);
        out += QString::fromUcs4(&code, 1);
        at = m.capturedEnd(0);
    }
    return out + text.mid(at);
}

}  // namespace

QString plain(const QString& text) {
    QString out;
    qsizetype at = 0;
    for (auto it = tagPattern().globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (!isHtmlElement(m.captured(2))) continue;
        out += text.mid(at, m.capturedStart(0) - at);
        if (breaksWords(m.captured(2))) out += QLatin1Char(' ');
        at = m.capturedEnd(0);
    }
    return withCharacters(out + text.mid(at)).simplified();
}

QString html(const QString& text) {
    QString out;
    QStringList open;  // elements opened and not yet closed, innermost last
    qsizetype at = 0;
    for (auto it = tagPattern().globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (!isHtmlElement(m.captured(2))) continue;
        out += withCharacters(text.mid(at, m.capturedStart(0) - at)).toHtmlEscaped();
        at = m.capturedEnd(0);
        const QString element = kept(m.captured(2));
        if (element.isEmpty()) {
            if (breaksWords(m.captured(2))) out += QLatin1Char(' ');
        } else if (m.captured(1).isEmpty()) {
            out += QLatin1Char('<') + element + QLatin1Char('>');
            open << element;
        } else if (open.contains(element)) {
            // Closing an outer element closes those opened inside it.
            while (!open.isEmpty()) {
                const QString last = open.takeLast();
                out += QStringLiteral("</") + last + QLatin1Char('>');
                if (last == element) break;
            }
        }
    }
    out += withCharacters(text.mid(at)).toHtmlEscaped();
    while (!open.isEmpty()) out += QStringLiteral("</") + open.takeLast() + QLatin1Char('>');
    return out.simplified();
}

}  // namespace authoring::sddtext
