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
    return (out + text.mid(at)).simplified();
}

QString html(const QString& text) {
    QString out;
    QStringList open;  // elements opened and not yet closed, innermost last
    qsizetype at = 0;
    for (auto it = tagPattern().globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (!isHtmlElement(m.captured(2))) continue;
        out += text.mid(at, m.capturedStart(0) - at).toHtmlEscaped();
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
    out += text.mid(at).toHtmlEscaped();
    while (!open.isEmpty()) out += QStringLiteral("</") + open.takeLast() + QLatin1Char('>');
    return out.simplified();
}

}  // namespace authoring::sddtext
