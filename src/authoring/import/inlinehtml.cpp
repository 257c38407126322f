#include "authoring/import/inlinehtml.h"

#include <QRegularExpression>
#include <QStringList>

namespace authoring {

namespace {

QRegularExpressionMatch matchAt(const QRegularExpression& re, const QString& text, qsizetype at) {
    return re.match(text, at, QRegularExpression::NormalMatch,
                    QRegularExpression::AnchorAtOffsetMatchOption);
}

// Closes `name` and whatever was opened inside it; a closing tag of nothing open is dropped.
void closeTag(const QString& name, QStringList& open, QString& out) {
    if (!open.contains(name)) return;
    while (!open.isEmpty()) {
        const QString last = open.takeLast();
        out += QLatin1String("</") + last + QLatin1Char('>');
        if (last == name) return;
    }
}

}  // namespace

QString inlineHtml(const QString& markup) {
    static const QRegularExpression tag(QStringLiteral("<(/?)(i|b|sub|sup)>"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression entity(
        QStringLiteral("&(#[0-9]{1,7}|#[xX][0-9a-fA-F]{1,6}|[A-Za-z][A-Za-z0-9]{1,31});"));
    QString out;
    QStringList open;
    for (qsizetype i = 0; i < markup.size();) {
        const QChar c = markup[i];
        if (c == QLatin1Char('<')) {
            if (const auto m = matchAt(tag, markup, i); m.hasMatch()) {
                const QString name = m.captured(2).toLower();
                if (m.capturedLength(1) == 0) {
                    open << name;
                    out += QLatin1Char('<') + name + QLatin1Char('>');
                } else {
                    closeTag(name, open, out);
                }
                i += m.capturedLength();
                continue;
            }
            out += QLatin1String("&lt;");
        } else if (c == QLatin1Char('&')) {
            if (const auto m = matchAt(entity, markup, i); m.hasMatch()) {
                out += m.captured();
                i += m.capturedLength();
                continue;
            }
            out += QLatin1String("&amp;");
        } else if (c == QLatin1Char('>')) {
            out += QLatin1String("&gt;");
        } else if (c == QLatin1Char('"')) {
            out += QLatin1String("&quot;");
        } else {
            out += c;
        }
        ++i;
    }
    while (!open.isEmpty()) out += QLatin1String("</") + open.takeLast() + QLatin1Char('>');
    return out;
}

}  // namespace authoring
