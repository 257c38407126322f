#include "authoring/evaluation/keywriter.h"

#include "authoring/evaluation/keymatrix.h"

#include <QBuffer>
#include <QDate>
#include <QHashFunctions>
#include <QPdfWriter>
#include <QTextDocument>
#include <cmath>

namespace authoring {

namespace {

QString family(const QString& stored) {
    const QString f = stored.trimmed();
    return f.isEmpty() ? f : f.left(1).toUpper() + f.mid(1).toLower();
}

QString species(const KeyMatrix& m, int s) {
    const QString f = family(m.speciesFamily(s));
    return f.isEmpty() ? m.speciesName(s) : QStringLiteral("%1 (%2)").arg(m.speciesName(s), f);
}

QString leadLabel(const Couplet& c, int lead) {
    QString n = QString::number(c.number);
    if (lead == 1)
        n += QLatin1Char('\'');
    else if (c.from)
        n += QStringLiteral("(%1)").arg(c.from);
    return n + QLatin1Char('.');
}

QString destination(const KeyMatrix& m, const KeyLead& lead) {
    return lead.next ? QString::number(lead.next) : endingText(m, lead.species);
}

QString summary(const KeyMatrix& m, const DichotomousKey& key) {
    return QStringLiteral(
               "%1 species, %2 couplets; path length mean %3, longest %4; "
               "log2(species) %5.")
        .arg(m.speciesCount())
        .arg(key.couplets.size())
        .arg(key.meanPath, 0, 'f', 2)
        .arg(key.maxPath)
        .arg(m.speciesCount() > 0 ? std::log2(double(m.speciesCount())) : 0.0, 0, 'f', 2);
}

}  // namespace

QString leadText(const KeyMatrix& m, const Couplet& c, int lead) {
    QStringList states;
    for (const int s : c.leads[lead].states) states << m.stateText(s);
    return m.questionText(c.question) + QStringLiteral(": ") + states.join(QStringLiteral("; "));
}

QString endingText(const KeyMatrix& m, const std::vector<int>& list) {
    QStringList names;
    for (const int s : list) names << species(m, s);
    if (names.size() == 1) return names.first();
    return names.join(QStringLiteral(", ")) +
           QStringLiteral(" [not separated by the questions of this key]");
}

QString keyText(const KeyMatrix& m, const DichotomousKey& key, const KeyHeading& h) {
    QString out = h.title + QLatin1Char('\n') + h.date + QLatin1Char('\n') + summary(m, key) +
                  QStringLiteral("\n\n");
    if (key.couplets.empty()) {
        std::vector<int> all(size_t(m.speciesCount()));
        for (int s = 0; s < m.speciesCount(); ++s) all[size_t(s)] = s;
        if (!all.empty()) out += endingText(m, all) + QLatin1Char('\n');
        return out;
    }
    for (const Couplet& c : key.couplets) {
        for (int lead = 0; lead < 2; ++lead) {
            const QString start = leadLabel(c, lead).leftJustified(8) + leadText(m, c, lead) + ' ';
            const QString end = QLatin1Char(' ') + destination(m, c.leads[lead]);
            out += start.leftJustified(std::max(int(start.size()) + 3, 72 - int(end.size())),
                                       QLatin1Char('.')) +
                   end + QLatin1Char('\n');
        }
        out += QLatin1Char('\n');
    }
    return out;
}

QString keyHtml(const KeyMatrix& m, const DichotomousKey& key, const KeyHeading& h) {
    auto esc = [](const QString& s) { return s.toHtmlEscaped(); };
    QString out = QStringLiteral(
                      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
                      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                      "<title>%1</title>\n<style>body{font-family:serif;margin:1em 2em;"
                      "max-width:50em}table{border-collapse:collapse;width:100%}td{padding:2px "
                      "4px;vertical-align:top}td.n{white-space:nowrap;width:4em}td.to{text-align:"
                      "right}tr.second td{padding-bottom:0.6em}</style></head><body>\n"
                      "<h1>%1</h1>\n<p>%2</p>\n<p>%3</p>\n<table>\n")
                      .arg(esc(h.title), esc(h.date), esc(summary(m, key)));
    for (const Couplet& c : key.couplets) {
        for (int lead = 0; lead < 2; ++lead) {
            const KeyLead& l = c.leads[lead];
            const QString to = l.next
                                   ? QStringLiteral("<a href=\"#c%1\">%1</a>").arg(l.next)
                                   : QStringLiteral("<i>%1</i>").arg(esc(endingText(m, l.species)));
            out += QStringLiteral(
                       "<tr%1><td class=\"n\"%2>%3</td><td>%4</td><td class=\"to\">"
                       "%5</td></tr>\n")
                       .arg(lead ? QStringLiteral(" class=\"second\"") : QString(),
                            lead ? QString() : QStringLiteral(" id=\"c%1\"").arg(c.number),
                            esc(leadLabel(c, lead)), esc(leadText(m, c, lead)), to);
        }
    }
    out += QStringLiteral("</table>\n");
    if (key.couplets.empty() && m.speciesCount() > 0) {
        std::vector<int> all;
        for (int s = 0; s < m.speciesCount(); ++s) all.push_back(s);
        out += QStringLiteral("<p>%1</p>\n").arg(esc(endingText(m, all)));
    }
    out += QStringLiteral("</body></html>\n");
    return out;
}

QByteArray keyPdf(const KeyMatrix& m, const DichotomousKey& key, const KeyHeading& h) {
    // The writer numbers its font objects in the order of a hash; a fixed seed makes that order
    // the same in every run (the seed is only ever read when a hash is created).
    QHashSeed::setDeterministicGlobalSeed();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(h.title);
        pdf.setCreator(QStringLiteral("vireka-kb key"));
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setResolution(300);
        // Without metadata of its own the writer makes some with a new document id each time.
        pdf.setDocumentXmpMetadata(
            QStringLiteral("<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?>"
                           "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF xmlns:rdf='http://"
                           "www.w3.org/1999/02/22-rdf-syntax-ns#'><rdf:Description rdf:about='' "
                           "xmlns:dc='http://purl.org/dc/elements/1.1/'><dc:title><rdf:Alt>"
                           "<rdf:li xml:lang='x-default'>%1</rdf:li></rdf:Alt></dc:title>"
                           "</rdf:Description></rdf:RDF></x:xmpmeta><?xpacket end='w'?>")
                .arg(h.title.toHtmlEscaped())
                .toUtf8());
        QTextDocument doc;
        doc.setHtml(keyHtml(m, key, h));
        doc.print(&pdf);
    }
    // The writer stamps the time of writing; the key's own date takes its place, in as many
    // bytes, so that no offset of the file moves.
    const QDate date = QDate::fromString(h.date, Qt::ISODate);
    if (!date.isValid()) return {};
    const QByteArray stamp = "/CreationDate (D:";
    const qsizetype at = bytes.indexOf(stamp);
    if (at >= 0) {
        const QByteArray fixed = date.toString(QStringLiteral("yyyyMMdd")).toLatin1() + "000000";
        bytes.replace(at + stamp.size(), fixed.size(), fixed);
    }
    return bytes;
}

}  // namespace authoring
