#include "authoring/webexport/htmlsanitizer.h"

#include <QRegularExpression>
#include <QSet>

namespace authoring {

namespace {

// Elements kept (their attributes still filtered). Anything else loses its tags but keeps
// its text, except the elements below whose content goes with them.
const QSet<QString>& keptElements() {
    static const QSet<QString> set = {
        "html",     "head",    "body",   "title",      "meta",   "style", "h1",         "h2",
        "h3",       "h4",      "h5",     "h6",         "p",      "div",   "span",       "nav",
        "section",  "article", "header", "footer",     "main",   "aside", "a",          "img",
        "table",    "thead",   "tbody",  "tfoot",      "tr",     "td",    "th",         "caption",
        "colgroup", "col",     "ul",     "ol",         "li",     "dl",    "dt",         "dd",
        "br",       "hr",      "b",      "i",          "u",      "s",     "em",         "strong",
        "small",    "big",     "sub",    "sup",        "code",   "pre",   "blockquote", "q",
        "cite",     "abbr",    "figure", "figcaption", "center", "font",  "map",        "area"};
    return set;
}

// Elements whose content is dropped with them: it runs, fetches, or is a control.
const QSet<QString>& droppedWithContent() {
    static const QSet<QString> set = {"script",   "iframe", "object",   "applet",   "noscript",
                                      "template", "svg",    "math",     "frameset", "noframes",
                                      "noembed",  "select", "textarea", "xmp",      "plaintext",
                                      "button",   "audio",  "video",    "canvas"};
    return set;
}

// Elements whose content is raw text up to their closing tag.
bool isRawText(const QString& name) {
    return name == "script" || name == "style" || name == "textarea" || name == "title" ||
           name == "xmp" || name == "noscript" || name == "iframe" || name == "noembed" ||
           name == "noframes" || name == "plaintext";
}

const QSet<QString>& keptAttributes() {
    static const QSet<QString> set = {
        "class",  "id",      "title",   "lang",    "dir",    "align",       "valign",
        "width",  "height",  "colspan", "rowspan", "border", "cellpadding", "cellspacing",
        "alt",    "bgcolor", "color",   "size",    "face",   "name",        "shape",
        "coords", "usemap",  "style",   "start",   "type"};
    return set;
}

QString decodeEntities(const QString& s) {
    if (!s.contains(QLatin1Char('&'))) return s;
    static const QRegularExpression entity(
        QStringLiteral("&(#[0-9]{1,7}|#[xX][0-9a-fA-F]{1,6}|amp|lt|gt|quot|apos);?"));
    QString out;
    qsizetype last = 0;
    auto it = entity.globalMatch(s);
    while (it.hasNext()) {
        const auto m = it.next();
        out += s.mid(last, m.capturedStart() - last);
        const QString e = m.captured(1);
        uint code = 0;
        if (e.startsWith(QLatin1String("#x")) || e.startsWith(QLatin1String("#X")))
            code = e.mid(2).toUInt(nullptr, 16);
        else if (e.startsWith(QLatin1Char('#')))
            code = e.mid(1).toUInt();
        else if (e == "amp")
            code = '&';
        else if (e == "lt")
            code = '<';
        else if (e == "gt")
            code = '>';
        else if (e == "quot")
            code = '"';
        else
            code = '\'';
        if (code == 0 || code > 0x10FFFF) code = 0xFFFD;
        out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        last = m.capturedEnd();
    }
    return out + s.mid(last);
}

QString escapeAttribute(const QString& s) {
    QString out = s;
    out.replace(QLatin1Char('&'), QLatin1String("&amp;"))
        .replace(QLatin1Char('"'), QLatin1String("&quot;"))
        .replace(QLatin1Char('<'), QLatin1String("&lt;"))
        .replace(QLatin1Char('>'), QLatin1String("&gt;"));
    return out;
}

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_') ||
           c == QLatin1Char(':');
}

struct Tag {
    QString name;
    bool closing = false;
    QList<QPair<QString, QString>> attributes;  // names in lower case, values decoded
    qsizetype end = 0;                          // just past '>'
};

// Reads the tag that starts at html[at] == '<'; false when it is not a tag.
bool readTag(const QString& html, qsizetype at, Tag* tag) {
    qsizetype i = at + 1;
    const qsizetype n = html.size();
    if (i < n && html[i] == QLatin1Char('/')) {
        tag->closing = true;
        ++i;
    }
    if (i >= n || !html[i].isLetter()) return false;
    const qsizetype nameStart = i;
    while (i < n && isNameChar(html[i])) ++i;
    tag->name = html.mid(nameStart, i - nameStart).toLower();
    for (;;) {
        while (i < n && (html[i].isSpace() || html[i] == QLatin1Char('/'))) ++i;
        if (i >= n) {
            tag->end = n;
            return true;
        }
        if (html[i] == QLatin1Char('>')) {
            tag->end = i + 1;
            return true;
        }
        const qsizetype attrStart = i;
        while (i < n && !html[i].isSpace() && html[i] != QLatin1Char('=') &&
               html[i] != QLatin1Char('>') && html[i] != QLatin1Char('/'))
            ++i;
        if (i == attrStart) ++i;  // a stray character of its own
        const QString name = html.mid(attrStart, i - attrStart).toLower();
        while (i < n && html[i].isSpace()) ++i;
        QString value;
        if (i < n && html[i] == QLatin1Char('=')) {
            ++i;
            while (i < n && html[i].isSpace()) ++i;
            if (i < n && (html[i] == QLatin1Char('"') || html[i] == QLatin1Char('\''))) {
                const QChar quote = html[i++];
                const qsizetype close = html.indexOf(quote, i);
                const qsizetype stop = close < 0 ? n : close;
                value = html.mid(i, stop - i);
                i = close < 0 ? n : close + 1;
            } else {
                const qsizetype valueStart = i;
                while (i < n && !html[i].isSpace() && html[i] != QLatin1Char('>')) ++i;
                value = html.mid(valueStart, i - valueStart);
            }
        }
        if (!tag->closing) tag->attributes.append({name, decodeEntities(value)});
    }
}

// Index of the closing tag "</name" at or after from (case-insensitive), or -1.
qsizetype findClosing(const QString& html, qsizetype from, const QString& name) {
    const QString needle = QStringLiteral("</") + name;
    for (qsizetype at = html.indexOf(needle, from, Qt::CaseInsensitive); at >= 0;
         at = html.indexOf(needle, at + 1, Qt::CaseInsensitive)) {
        const qsizetype after = at + needle.size();
        if (after >= html.size() || !isNameChar(html[after])) return at;
    }
    return -1;
}

// Past the end of the element opened before from, counting nested elements of its name.
qsizetype skipElement(const QString& html, qsizetype from, const QString& name) {
    int depth = 1;
    qsizetype i = from;
    while (depth > 0) {
        const qsizetype lt = html.indexOf(QLatin1Char('<'), i);
        if (lt < 0) return html.size();
        Tag tag;
        if (!readTag(html, lt, &tag)) {
            i = lt + 1;
            continue;
        }
        if (tag.name == name) depth += tag.closing ? -1 : 1;
        i = tag.end;
    }
    return i;
}

// The style in lower case without white space, for matching ("url (" and "URL(" alike), and
// with or without its comments: "u/**/rl(" is no function, but a comment may hide one that
// a browser sees ("content:'/*'" opens a string, not a comment). Either form may not match.
QString styleForMatching(const QString& css, bool withoutComments) {
    QString out;
    out.reserve(css.size());
    for (qsizetype i = 0; i < css.size(); ++i) {
        if (withoutComments && css[i] == QLatin1Char('/') && i + 1 < css.size() &&
            css[i + 1] == QLatin1Char('*')) {
            const qsizetype close = css.indexOf(QLatin1String("*/"), i + 2);
            if (close < 0) break;
            i = close + 1;
            continue;
        }
        if (!css[i].isSpace()) out += css[i].toLower();
    }
    return out;
}

}  // namespace

bool HtmlSanitizer::isUnsafeStyle(const QString& css) {
    // What can fetch: every function that takes an address or a string naming one, the rules
    // that load a sheet or a font, and old ways to run code. A backslash is refused outright:
    // escapes ("u\rl(", "\75rl(") would spell any of them.
    static const char* const unsafe[] = {
        "url(", "image-set(",  "image(",    "cross-fade(",  "element(",    "@import", "@font-face",
        "src:", "expression(", "behavior:", "-moz-binding", "javascript:", "\\"};
    for (const bool withoutComments : {false, true}) {
        const QString text = styleForMatching(css, withoutComments);
        for (const char* word : unsafe)
            if (text.contains(QLatin1String(word))) return true;
    }
    return false;
}

namespace {

// Comments, declarations and processing instructions starting at html[lt] == '<': where
// they end (past their '>'), or -1 when none starts there. Only the document type is kept.
qsizetype skipDeclaration(const QString& html, qsizetype lt, QString& out) {
    const qsizetype n = html.size();
    if (html.mid(lt, 4) == QLatin1String("<!--")) {
        const qsizetype close = html.indexOf(QLatin1String("-->"), lt + 4);
        return close < 0 ? n : close + 3;
    }
    if (html.mid(lt, 2) != QLatin1String("<!") && html.mid(lt, 2) != QLatin1String("<?")) return -1;
    const qsizetype close = html.indexOf(QLatin1Char('>'), lt);
    if (html.mid(lt, 9).compare(QLatin1String("<!doctype"), Qt::CaseInsensitive) == 0)
        out += QStringLiteral("<!DOCTYPE html>");
    return close < 0 ? n : close + 1;
}

// An element whose content is raw text, opened just before `from`: a harmless style sheet
// and the title stay (the title as text), the rest goes. Returns where reading goes on.
qsizetype rawTextElement(const QString& html, qsizetype from, const QString& name, QString& out) {
    const qsizetype n = html.size();
    const qsizetype close = findClosing(html, from, name);
    const QString content = html.mid(from, (close < 0 ? n : close) - from);
    const qsizetype closeEnd = close < 0 ? n : html.indexOf(QLatin1Char('>'), close);
    if (name == "style" && !HtmlSanitizer::isUnsafeStyle(content) &&
        !content.contains(QLatin1String("</"))) {
        out += QStringLiteral("<style>") + content + QStringLiteral("</style>");
    } else if (name == "title") {
        out += QStringLiteral("<title>") + QString(content).replace('<', "&lt;") +
               QStringLiteral("</title>");
    }
    return closeEnd < 0 ? n : closeEnd + 1;
}

// The opening tag of a kept element with only its harmless attributes, links and pictures
// mapped; empty when the element goes (a picture without a usable source, a meta element).
QString openingTag(const Tag& tag, const HtmlSanitizer::LinkMapper& mapLink) {
    using LinkKind = HtmlSanitizer::LinkKind;
    QString attributes;
    bool drop = false;
    for (const auto& [name, value] : tag.attributes) {
        if (name == "href" && (tag.name == "a" || tag.name == "area")) {
            const QString target = value.startsWith(QLatin1Char('#'))
                                       ? value
                                       : mapLink(value.trimmed(), LinkKind::Link);
            if (!target.isEmpty())
                attributes += QStringLiteral(" href=\"%1\"").arg(escapeAttribute(target));
        } else if (name == "src" && tag.name == "img") {
            const QString target = mapLink(value.trimmed(), LinkKind::Picture);
            if (target.isEmpty())
                drop = true;
            else
                attributes += QStringLiteral(" src=\"%1\"").arg(escapeAttribute(target));
        } else if (name == "usemap") {
            if (value.startsWith(QLatin1Char('#')))
                attributes += QStringLiteral(" usemap=\"%1\"").arg(escapeAttribute(value));
        } else if (name == "style") {
            if (!HtmlSanitizer::isUnsafeStyle(value))
                attributes += QStringLiteral(" style=\"%1\"").arg(escapeAttribute(value));
        } else if (keptAttributes().contains(name)) {
            attributes += QStringLiteral(" %1=\"%2\"").arg(name, escapeAttribute(value));
        }
    }
    // Meta elements go: refresh and the like would navigate, and the character set is
    // the publisher's to state, since it writes the text anew.
    if (tag.name == "meta") drop = true;
    if (tag.name == "img" && !attributes.contains(QLatin1String(" src="))) drop = true;
    return drop ? QString() : QStringLiteral("<") + tag.name + attributes + QStringLiteral(">");
}

}  // namespace

QString HtmlSanitizer::sanitize(const QString& html) const {
    QString out;
    out.reserve(html.size());
    const qsizetype n = html.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype lt = html.indexOf(QLatin1Char('<'), i);
        if (lt < 0) {
            out += html.mid(i);
            break;
        }
        out += html.mid(i, lt - i);
        if (const qsizetype past = skipDeclaration(html, lt, out); past >= 0) {
            i = past;
            continue;
        }
        Tag tag;
        if (!readTag(html, lt, &tag)) {
            out += QStringLiteral("&lt;");
            i = lt + 1;
            continue;
        }
        i = tag.end;
        if (tag.closing) {
            if (keptElements().contains(tag.name)) out += QStringLiteral("</%1>").arg(tag.name);
        } else if (isRawText(tag.name)) {
            i = rawTextElement(html, i, tag.name, out);
        } else if (droppedWithContent().contains(tag.name)) {
            i = skipElement(html, i, tag.name);
        } else if (keptElements().contains(tag.name)) {
            out += openingTag(tag, mapLink_);
        }
    }
    return out;
}

}  // namespace authoring
