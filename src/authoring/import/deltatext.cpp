#include "authoring/import/deltatext.h"

#include <QRegularExpression>
#include <algorithm>

namespace authoring::deltatext {

namespace {

// Directive names met in datasets; a name is the longest of these its line starts with,
// else its leading words in capitals.
const QStringList kKnown{QStringLiteral("CHARACTER LIST"),
                         QStringLiteral("ITEM DESCRIPTIONS"),
                         QStringLiteral("CHARACTER TYPES"),
                         QStringLiteral("NUMBERS OF STATES"),
                         QStringLiteral("NUMBER OF CHARACTERS"),
                         QStringLiteral("MAXIMUM NUMBER OF STATES"),
                         QStringLiteral("MAXIMUM NUMBER OF ITEMS"),
                         QStringLiteral("IMPLICIT VALUES"),
                         QStringLiteral("DEPENDENT CHARACTERS"),
                         QStringLiteral("APPLICABLE CHARACTERS"),
                         QStringLiteral("INAPPLICABLE CHARACTERS"),
                         QStringLiteral("MANDATORY CHARACTERS"),
                         QStringLiteral("KEY STATES"),
                         QStringLiteral("CHARACTER RELIABILITIES"),
                         QStringLiteral("CHARACTER WEIGHTS"),
                         QStringLiteral("CHARACTER HEADINGS"),
                         QStringLiteral("KEYWORD CHARACTERS"),
                         QStringLiteral("CHARACTER IMAGES"),
                         QStringLiteral("TAXON IMAGES"),
                         QStringLiteral("INPUT FILE"),
                         QStringLiteral("CHARACTER NOTES"),
                         QStringLiteral("ITEM SUBHEADINGS"),
                         QStringLiteral("HEADING"),
                         QStringLiteral("SHOW"),
                         QStringLiteral("COMMENT"),
                         QStringLiteral("DATA BUFFER SIZE")};

QString collapsed(const QString& s) {
    return s.simplified().toUpper();
}

// Splits the text after "*" into the directive's name and the position where its data
// starts.
qsizetype nameEnd(const QString& line, QString& name) {
    const QString upper = collapsed(line);
    for (const QString& k : kKnown) {
        if (!upper.startsWith(k) || (upper.size() > k.size() && upper[k.size()] != ' ')) continue;
        // Walk the original text over the name's words.
        qsizetype pos = 0;
        for (int words = int(k.count(' ')) + 1; words > 0; --words) {
            while (pos < line.size() && line[pos].isSpace()) ++pos;
            while (pos < line.size() && !line[pos].isSpace()) ++pos;
        }
        name = k;
        return pos;
    }
    static const QRegularExpression words(QStringLiteral("^\\s*([A-Z]+(?:[ \\t]+[A-Z]+)*)\\b"));
    const auto m = words.match(line);
    name = m.hasMatch() ? collapsed(m.captured(1)) : QString();
    return m.hasMatch() ? m.capturedEnd(1) : 0;
}

}  // namespace

int Directive::lineAt(qsizetype pos) const {
    return line + int(data.left(pos).count(QLatin1Char('\n')));
}

QList<Directive> directives(const QString& text, const QString& file) {
    QList<Directive> out;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.startsWith(QLatin1Char('*'))) {
            Directive d;
            const QString rest = line.mid(1);
            const qsizetype start = nameEnd(rest, d.name);
            d.data = rest.mid(start);
            d.file = file;
            d.line = i + 1;
            out << d;
        } else if (!out.isEmpty()) {
            out.last().data += QLatin1Char('\n') + line;
        }
    }
    return out;
}

bool opensComment(const QString& text, qsizetype pos) {
    if (pos < 0 || pos >= text.size() || text[pos] != QLatin1Char('<')) return false;
    if (pos == 0) return true;
    const QChar before = text[pos - 1];
    return before.isSpace() || before == QLatin1Char('<') || before == QLatin1Char('>');
}

bool closesComment(const QString& text, qsizetype pos) {
    if (pos < 0 || pos >= text.size() || text[pos] != QLatin1Char('>')) return false;
    if (pos > 0) {
        const QChar before = text[pos - 1];
        if (before == QLatin1Char('(') || before == QLatin1Char('[') || before == QLatin1Char('='))
            return false;
    }
    return pos + 1 == text.size() || !text[pos + 1].isDigit();
}

qsizetype commentEnd(const QString& text, qsizetype pos) {
    int depth = 1;
    for (qsizetype i = pos + 1; i < text.size(); ++i) {
        if (opensComment(text, i))
            ++depth;
        else if (closesComment(text, i) && --depth == 0)
            return i + 1;
    }
    return -1;
}

QString withoutComments(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (opensComment(text, i)) {
            const qsizetype end = commentEnd(text, i);
            if (end < 0) break;
            i = end - 1;
        } else {
            out += text[i];
        }
    }
    return out;
}

QStringList comments(const QString& text) {
    QStringList out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!opensComment(text, i)) continue;
        const qsizetype end = commentEnd(text, i);
        if (end < 0) break;
        out << text.mid(i + 1, end - i - 2);
        i = end - 1;
    }
    return out;
}

qsizetype textEnd(const QString& text, qsizetype pos) {
    for (qsizetype i = pos; i < text.size(); ++i) {
        if (opensComment(text, i)) {
            const qsizetype end = commentEnd(text, i);
            if (end < 0) return -1;
            i = end - 1;
        } else if (text[i] == QLatin1Char('/') && (i + 1 == text.size() || text[i + 1].isSpace())) {
            return i;
        }
    }
    return -1;
}

namespace {

// Walks the RTF: `word` receives each control word (without its backslash and delimiter),
// `plainChar` each character of text.
template <typename Word, typename Char>
void walkRtf(const QString& rtf, Word word, Char plainChar) {
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        const QChar c = rtf[i];
        if (c == QLatin1Char('{') || c == QLatin1Char('}')) continue;
        if (c != QLatin1Char('\\') || i + 1 == rtf.size()) {
            plainChar(c);
            continue;
        }
        const QChar n = rtf[i + 1];
        if (n == QLatin1Char('\\') || n == QLatin1Char('{') || n == QLatin1Char('}')) {
            plainChar(n), ++i;
        } else if (n == QLatin1Char('~')) {
            plainChar(QLatin1Char(' ')), ++i;
        } else if (n == QLatin1Char('\'') && i + 3 < rtf.size()) {
            bool ok = false;
            const int code = rtf.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) plainChar(QChar(code));
            i += 3;
        } else if (n.isLetter()) {
            qsizetype j = i + 1;
            while (j < rtf.size() && rtf[j].isLetter()) ++j;
            while (j < rtf.size() && (rtf[j].isDigit() || rtf[j] == QLatin1Char('-'))) ++j;
            word(rtf.mid(i + 1, j - i - 1));
            if (j < rtf.size() && rtf[j] == QLatin1Char(' ')) ++j;
            i = j - 1;
        } else {
            ++i;  // \- optional hyphen and other control symbols
        }
    }
}

}  // namespace

QString plain(const QString& rtf) {
    QString out;
    walkRtf(
        rtf, [](const QString&) {}, [&out](QChar c) { out += c; });
    return out.simplified();
}

QString html(const QString& rtf) {
    static const QHash<QString, QString> tags{
        {QStringLiteral("i"), QStringLiteral("<i>")},
        {QStringLiteral("i0"), QStringLiteral("</i>")},
        {QStringLiteral("b"), QStringLiteral("<b>")},
        {QStringLiteral("b0"), QStringLiteral("</b>")},
        {QStringLiteral("sub"), QStringLiteral("<sub>")},
        {QStringLiteral("super"), QStringLiteral("<sup>")},
        {QStringLiteral("nosupersub"), QStringLiteral("</sub></sup>")}};
    QString out;
    QStringList open;
    walkRtf(
        rtf,
        [&](const QString& w) {
            const QString tag = tags.value(w);
            if (tag.isEmpty()) return;
            if (!tag.startsWith(QLatin1String("</"))) {
                open << tag.mid(1, tag.size() - 2);
                out += tag;
                return;
            }
            // Close only what is open, so that the page stays well formed.
            for (const QString& name : {QStringLiteral("i"), QStringLiteral("b"),
                                        QStringLiteral("sub"), QStringLiteral("sup")})
                if (tag.contains(QLatin1String("</") + name + QLatin1Char('>')) &&
                    open.removeOne(name))
                    out += QLatin1String("</") + name + QLatin1Char('>');
        },
        [&out](QChar c) { out += QString(c).toHtmlEscaped(); });
    for (auto it = open.crbegin(); it != open.crend(); ++it)
        out += QLatin1String("</") + *it + QLatin1Char('>');
    return out.simplified();
}

namespace {

// Codes in comments are for other programs: a word that mixes letters with digits ("Af7",
// "se5") or carries a "~".
bool isCode(const QString& word) {
    static const QRegularExpression code(QStringLiteral("^[A-Za-z]{1,4}\\d+[A-Za-z]?$"));
    static const QRegularExpression edges(QStringLiteral("^[(\\[,;:.]+|[)\\],;:.]+$"));
    return word.contains(QLatin1Char('~')) || code.match(QString(word).remove(edges)).hasMatch();
}

// A comment made of one inner comment ("<<...>>") or of one parenthesis ("<(...)>").
bool isAnnotation(const QString& inner) {
    const QString t = inner.trimmed();
    if (t.startsWith(QLatin1Char('<'))) return commentEnd(t, 0) == t.size();
    if (!t.startsWith(QLatin1Char('(')) || !t.endsWith(QLatin1Char(')'))) return false;
    int depth = 0;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i] == QLatin1Char('(')) ++depth;
        if (t[i] == QLatin1Char(')') && --depth == 0) return i + 1 == t.size();
    }
    return false;
}

QString unwrapped(QString words) {
    if (words.startsWith(QLatin1Char('(')) && words.endsWith(QLatin1Char(')')))
        words = words.mid(1, words.size() - 2).trimmed();
    return words;
}

// The words of a comment, plain: inner comments give their words in line, codes are dropped;
// empty when no word with a letter is left.
QString commentWords(const QString& inner) {
    QString text;
    for (qsizetype i = 0; i < inner.size(); ++i) {
        if (!opensComment(inner, i)) {
            text += inner[i];
            continue;
        }
        const qsizetype end = commentEnd(inner, i);
        if (end < 0) break;
        text += QLatin1Char(' ') + commentWords(inner.mid(i + 1, end - i - 2)) + QLatin1Char(' ');
        i = end - 1;
    }
    QStringList kept;
    bool letter = false;
    for (const QString& w : plain(text).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (isCode(w)) continue;
        kept << w;
        letter = letter || std::any_of(w.cbegin(), w.cend(), [](QChar c) { return c.isLetter(); });
    }
    return letter ? kept.join(QLatin1Char(' ')) : QString();
}

}  // namespace

QString label(const QString& rtf) {
    const QString short_ = plain(withoutComments(rtf));
    if (!short_.isEmpty()) return short_;
    QStringList words;
    for (const QString& c : comments(rtf))
        if (const QString w = unwrapped(commentWords(c)); !w.isEmpty()) words << w;
    return words.join(QLatin1Char(' '));
}

QString remark(const QString& inner) {
    return isAnnotation(inner) ? QString() : unwrapped(commentWords(inner));
}

QString wording(const QString& rtf) {
    QString text;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        if (!opensComment(rtf, i)) {
            text += rtf[i];
            continue;
        }
        const qsizetype end = commentEnd(rtf, i);
        if (end < 0) break;
        const QString inner = rtf.mid(i + 1, end - i - 2);
        // Words that hold parentheses of their own go in brackets: never "((".
        if (!isAnnotation(inner))
            if (const QString w = unwrapped(commentWords(inner)); !w.isEmpty())
                text += w.contains(QLatin1Char('(')) || w.contains(QLatin1Char(')'))
                            ? QStringLiteral(" [") + w + QLatin1Char(']')
                            : QStringLiteral(" (") + w + QLatin1Char(')');
        i = end - 1;
    }
    // The words are plain already; only the text around them still carries typesetting. A
    // comment left out leaves no blank before the punctuation that followed it.
    static const QRegularExpression beforePunctuation(QStringLiteral("\\s+([,;:.!?])"));
    const QString out = plain(text).replace(beforePunctuation, QStringLiteral("\\1"));
    return out.isEmpty() ? label(rtf) : out;
}

bool numberList(const QString& text, QChar separator, QList<int>& out, int limit) {
    const qsizetype start = out.size();
    for (const QString& part : text.split(separator, Qt::SkipEmptyParts)) {
        const QStringList ends = part.split(QLatin1Char('-'));
        bool ok1 = false, ok2 = false;
        const int a = ends.value(0).trimmed().toInt(&ok1);
        const int b = ends.size() == 2 ? ends[1].trimmed().toInt(&ok2) : a;
        // The limit holds for the whole list: "1-99999:1-99999:..." must not fill the memory.
        if (!ok1 || (ends.size() == 2 && !ok2) || ends.size() > 2 || b < a ||
            qint64(b) - a >= limit - (out.size() - start))
            return false;
        for (int v = a; v <= b; ++v) out << v;
    }
    return true;
}

}  // namespace authoring::deltatext
