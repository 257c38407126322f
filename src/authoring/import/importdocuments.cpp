#include "authoring/import/importdocuments.h"

#include "authoring/import/datasetfiles.h"
#include "authoring/import/inlinehtml.h"
#include "authoring/import/numericstates.h"
#include "platform/stagedfile.h"

#include <QDir>
#include <QImage>
#include <QRegularExpression>

namespace authoring {

namespace {

const char* kStyle =
    "body{font-family:'DejaVu Sans',Arial,sans-serif;margin:24px 36px;color:#222;"
    "background:#fbf8f1;line-height:1.45}"
    "h1{font-family:'DejaVu Serif',Georgia,serif;font-weight:normal;margin:0 0 4px;color:#1d3b4f}"
    ".family{color:#6b5f4b;font-variant:small-caps;letter-spacing:1px;margin-bottom:16px}"
    "h2{font-size:1.05em;color:#1d3b4f;border-bottom:2px solid #d8d2c4;padding-bottom:2px}"
    "table{border-collapse:collapse}td{padding:3px 14px 3px 0;vertical-align:top}"
    "td.q{color:#6b5f4b}img{max-width:100%;margin:0 12px 12px 0;border:1px solid #d8d2c4}"
    ".note{color:#6b5f4b;font-style:italic}";

bool save(const QString& path, const QString& html) {
    return platform::writeStagedFile(path, html.toUtf8(), nullptr);
}

// Links to media on the web, which the import never fetches.
QString linksHtml(const QList<WebLink>& links) {
    QStringList out;
    for (const WebLink& l : links)
        out << QStringLiteral("<a href=\"%1\">%2</a>")
                   .arg(l.url.toHtmlEscaped(), l.label.toHtmlEscaped());
    return out.join(QStringLiteral(", "));
}

// The language the page is written in, as an HTML lang attribute can carry it.
QString languageTag(const QString& language) {
    static const QRegularExpression tag(QStringLiteral("^[A-Za-z]{1,8}(-[A-Za-z0-9]{1,8})*$"));
    return tag.match(language).hasMatch() ? language : QStringLiteral("en");
}

}  // namespace

QString ImportDocuments::valueHtml(const Character& c, const Attribute& a) const {
    QStringList parts;
    if (a.kind == Attribute::Variable) parts << QStringLiteral("variable");
    if (a.kind == Attribute::Inapplicable) parts << QStringLiteral("not applicable");
    for (int s : a.states)
        parts << c.states.value(s).label.toHtmlEscaped() +
                     (c.stateLinks.contains(s)
                          ? QStringLiteral(" (") + linksHtml(c.stateLinks.value(s)) +
                                QLatin1Char(')')
                          : QString());
    for (const NumericRange& r : a.ranges)
        parts << numericstates::text(r, QStringLiteral("&ndash;")) +
                     (c.unit.isEmpty() ? QString() : QLatin1Char(' ') + c.unit.toHtmlEscaped());
    QString h = parts.join(QStringLiteral(" or "));
    if (!a.text.isEmpty())
        h += c.type == Character::Text
                 ? a.text.toHtmlEscaped()
                 : QStringLiteral(" <span class=\"note\">(%1)</span>").arg(a.text.toHtmlEscaped());
    return h;
}

const ImportDocuments::CharacterHtml& ImportDocuments::characterHtml(int index) const {
    if (m_characterHtml.empty()) {
        m_characterHtml.reserve(size_t(m_data.characters.size()));
        for (const Character& c : m_data.characters) {
            const QString wording = c.wording().toHtmlEscaped();
            CharacterHtml& h = m_characterHtml.emplace_back();
            h.rowStart =
                QStringLiteral("<tr><td class=\"q\">") + wording +
                (c.links.isEmpty() ? QString()
                                   : QStringLiteral(" (") + linksHtml(c.links) + QLatin1Char(')')) +
                QStringLiteral("</td><td>");
            if (!c.notes.isEmpty())
                h.note = QStringLiteral("<dt>") + wording + QStringLiteral("</dt><dd>") +
                         c.notes.toHtmlEscaped() + QStringLiteral("</dd>\n");
        }
    }
    return m_characterHtml[size_t(index)];
}

QString ImportDocuments::page(const PlannedSpecies& s, const QStringList& pictures) const {
    const Item& item = m_data.items[s.item];
    QString h =
        QStringLiteral(
            "<!DOCTYPE html>\n<html lang=\"%3\"><head><meta charset=\"utf-8\">"
            "<title>%1</title><style>%2</style></head><body>\n")
            .arg(s.name.toHtmlEscaped(), QString::fromLatin1(kStyle), languageTag(m_data.language));
    h += QStringLiteral("<h1>%1</h1>\n<div class=\"family\">%2</div>\n")
             .arg(inlineHtml(s.htmlName), s.family.toHtmlEscaped());
    if (!item.comment.isEmpty())
        h += QStringLiteral("<p class=\"note\">%1</p>\n").arg(item.comment.toHtmlEscaped());
    for (const QString& p : pictures) h += QStringLiteral("<img src=\"%1\" alt=\"\">\n").arg(p);
    if (!item.links.isEmpty())
        h += QStringLiteral("<p>On the web: %1</p>\n").arg(linksHtml(item.links));
    // A heading stands only over what it heads: a subheading once over its characters, the
    // description only when the taxon codes something.
    QString rows, group, subheading, notes;
    for (auto it = item.attributes.cbegin(); it != item.attributes.cend(); ++it) {
        const Character& c = m_data.characters[it.key()];
        const QString value = valueHtml(c, it.value());
        if (value.isEmpty()) continue;
        if (c.group != group && !c.group.isEmpty())
            rows += QStringLiteral("<tr><td colspan=\"2\"><b>%1</b></td></tr>\n")
                        .arg(c.group.toHtmlEscaped());
        else if (!c.subheading.isEmpty() && c.subheading != c.group && c.subheading != subheading)
            rows += QStringLiteral("<tr><td colspan=\"2\"><i>%1</i></td></tr>\n")
                        .arg(c.subheading.toHtmlEscaped());
        group = c.group;
        subheading = c.subheading;
        const CharacterHtml& html = characterHtml(it.key());
        notes += html.note;
        rows += html.rowStart + value + QStringLiteral("</td></tr>\n");
    }
    if (!rows.isEmpty())
        h +=
            QStringLiteral("<h2>Description</h2>\n<table>\n") + rows + QStringLiteral("</table>\n");
    if (!notes.isEmpty())
        h += QStringLiteral("<h2>Notes on the characters</h2>\n<dl>\n") + notes +
             QStringLiteral("</dl>\n");
    return h + QStringLiteral("<p class=\"note\">From %1.</p>\n</body></html>\n")
                   .arg(m_data.title.toHtmlEscaped());
}

QStringList ImportDocuments::copyPictures(const PlannedSpecies& s, const QString& folder) {
    QStringList names;
    for (const QString& path : m_data.items[s.item].images) {
        QString error;
        QImage image = datasetfiles::readPicture(path, error);
        if (image.isNull()) {
            m_notes
                << QStringLiteral("%1: picture %2 cannot be read (%3)").arg(s.name, path, error);
            continue;
        }
        if (image.width() > kPictureSide || image.height() > kPictureSide)
            image = image.scaled(kPictureSide, kPictureSide, Qt::KeepAspectRatio,
                                 Qt::SmoothTransformation);
        const QString name = QStringLiteral("picture_%1.png").arg(names.size() + 1);
        if (image.save(folder + QLatin1Char('/') + name, "png")) names << name;
    }
    return names;
}

bool ImportDocuments::writeSpecies(const QString& documentFolder) {
    for (const PlannedSpecies& s : m_plan.species) {
        const QString code = s.code.toLower();
        const QString folder =
            documentFolder + QLatin1Char('/') + code.left(1) + QLatin1Char('/') + code;
        if (!QDir().mkpath(folder))
            return (m_error = QStringLiteral("cannot create ") + folder, false);
        if (!save(folder + QLatin1Char('/') + code + QStringLiteral("_en.html"),
                  page(s, copyPictures(s, folder))))
            return (m_error = QStringLiteral("cannot write the document of ") + s.name, false);
    }
    return true;
}

QString ImportDocuments::map(const ImportPlan& plan) {
    QString out = QStringLiteral("kind\tsource\tkey\tindex\n");
    QList<int> order;
    for (int i = 0; i < plan.species.size(); ++i) order << i;
    std::stable_sort(order.begin(), order.end(), [&plan](int a, int b) {
        return plan.species[a].name.compare(plan.species[b].name, Qt::CaseInsensitive) < 0;
    });
    QList<int> rank(order.size());
    for (int k = 0; k < order.size(); ++k) rank[order[k]] = k;
    for (int i = 0; i < plan.species.size(); ++i)
        out += QStringLiteral("species\t%1\t%2\t%3\n")
                   .arg(plan.species[i].sourceId, plan.species[i].code)
                   .arg(rank[i]);
    int state = 0;
    for (int q = 0; q < plan.questions.size(); ++q) {
        const PlannedQuestion& pq = plan.questions[q];
        out += QStringLiteral("question\t%1\t%2\t%3\n").arg(pq.sourceId, pq.key).arg(q);
        for (const PlannedState& s : pq.states)
            out += QStringLiteral("state\t%1:%2\t%3\t%4\n")
                       .arg(pq.sourceId, s.sourceId, s.key)
                       .arg(state++);
    }
    return out;
}

}  // namespace authoring
