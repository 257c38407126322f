#include "commands/identificationreport.h"

#include "commands/printpages.h"

#include <QLocale>
#include <QPrinter>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>

namespace commands {

namespace {

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

// Lines of plain text, one under the other.
QString lines(const QStringList& text) {
    QStringList out;
    for (const QString& line : text) {
        const QString t = line.trimmed();
        if (!t.isEmpty()) out << escaped(t);
    }
    return QStringLiteral("<p>") + out.join(QStringLiteral("<br>")) + QStringLiteral("</p>");
}

// The first lines of a list, the others counted ("and 12 more").
QStringList capped(const QStringList& all, const QString& moreLine) {
    if (all.size() <= ReportListedSpecies) return all;
    QStringList shown = all.mid(0, ReportListedSpecies);
    const QString more = moreLine.isEmpty() ? QStringLiteral("and %1 more") : moreLine;
    shown << more.arg(all.size() - ReportListedSpecies);
    return shown;
}

QString documentHtml(const ReportContent::Document& document, const ReportTexts& texts) {
    QString html = QStringLiteral("<h2>") + escaped(texts.documentHeading.arg(document.species)) +
                   QStringLiteral("</h2>");
    // The document's own headings stay headings, a step below the report's.
    for (const ReportContent::Line& line : document.lines) {
        const QString text = escaped(line.text.trimmed());
        if (text.isEmpty()) continue;
        if (line.heading > 0) {
            const int level = std::min(6, line.heading + 2);
            html += QStringLiteral("<h%1>%2</h%1>").arg(level).arg(text);
        } else {
            html += QStringLiteral("<p>") + text + QStringLiteral("</p>");
        }
    }
    return html;
}

}  // namespace

void fillReport(QTextDocument& document, const ReportContent& content, const ReportTexts& texts) {
    const QLocale locale(texts.locale.isEmpty() ? QStringLiteral("en") : texts.locale);
    QString html = QStringLiteral("<h1>") + escaped(texts.title) + QStringLiteral("</h1>");
    html += QStringLiteral("<p>") + escaped(texts.baseLine.arg(content.baseName)) +
            QStringLiteral("<br>") +
            escaped(texts.dateLine.arg(
                locale.toString(content.date.date(), QLocale::LongFormat) + QLatin1Char(' ') +
                locale.toString(content.date.time(), QLocale::ShortFormat))) +
            QStringLiteral("</p>");

    html += QStringLiteral("<h2>") + escaped(texts.answersHeading) + QStringLiteral("</h2>");
    if (content.answers.empty()) {
        html += QStringLiteral("<p>") + escaped(texts.noAnswers) + QStringLiteral("</p>");
    } else {
        html += QStringLiteral("<ul>");
        for (const auto& a : content.answers)
            html += QStringLiteral("<li><b>") + escaped(a.question) + QStringLiteral("</b>: ") +
                    escaped(a.states.join(QStringLiteral(", "))) + QStringLiteral("</li>");
        html += QStringLiteral("</ul>");
    }

    if (!content.drawing.isNull()) {
        document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("drawing")),
                             content.drawing);
        html += QStringLiteral("<h2>") + escaped(texts.drawingHeading) +
                QStringLiteral("</h2><p><img src=\"drawing\" width=\"%1\"></p>")
                    .arg(std::min(content.drawing.width(), 440));
    }

    html += QStringLiteral("<h2>") + escaped(texts.rankedHeading) + QStringLiteral("</h2>") +
            lines(capped(content.ranked, texts.moreLine));

    // Several species at the best percentage: none of them is the answer, and all are named.
    if (content.tiedSpecies.size() > 1) {
        const QString tie = texts.tieLine.isEmpty()
                                ? QStringLiteral("%1 species share the best percentage, %2 %:")
                                : texts.tieLine;
        html += QStringLiteral("<p><b>") +
                escaped(tie.arg(content.tiedSpecies.size()).arg(content.tiedPercent)) +
                QStringLiteral("</b></p>") + lines(capped(content.tiedSpecies, texts.moreLine));
    }
    for (const ReportContent::Document& d : content.documents)
        if (!d.species.isEmpty() && !d.lines.empty()) html += documentHtml(d, texts);
    document.setHtml(html);
}

PrintOutcome printReport(QPrinter& printer, const ReportContent& content,
                         const ReportTexts& texts) {
    PrintOutcome outcome;
    QTextDocument document;
    fillReport(document, content, texts);
    printer.setDocName(texts.title);
    document.print(&printer);
    if (printer.printerState() == QPrinter::Error) {
        outcome.error = printerLabel(printer);
        return outcome;
    }
    outcome.jobs = 1;
    outcome.pages = document.pageCount();
    return outcome;
}

}  // namespace commands
