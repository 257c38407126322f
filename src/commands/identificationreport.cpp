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
            lines(content.ranked);

    if (!content.bestSpecies.isEmpty() && !content.bestDocumentText.trimmed().isEmpty()) {
        html += QStringLiteral("<h2>") + escaped(texts.documentHeading.arg(content.bestSpecies)) +
                QStringLiteral("</h2>") + lines(content.bestDocumentText.split(QLatin1Char('\n')));
    }
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
