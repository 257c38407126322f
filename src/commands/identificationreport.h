#pragma once

#include "commands/drawingprinter.h"

#include <QDateTime>
#include <QImage>
#include <QString>
#include <QStringList>
#include <vector>

class QPrinter;
class QTextDocument;

namespace commands {

// What the printed identification report holds, gathered by the window from the
// description, the ranking, the drawing and the best species' document.
struct ReportContent {
    QDateTime date;
    QString baseName;  // the knowledge base's title
    struct Answer {
        QString question;
        QStringList states;
    };
    std::vector<Answer> answers;  // in the questions' order
    QStringList ranked;           // the species list as shown: percentage and name
    QImage drawing;               // null for a base without a drawing
    QString bestSpecies;
    QString bestDocumentText;  // plain text; empty when the document cannot be read
};

// The report's headings and sentences in the interface language.
struct ReportTexts {
    QString title;
    QString baseLine;  // "%1": the base's name
    QString dateLine;  // "%1": the date
    QString answersHeading;
    QString noAnswers;
    QString rankedHeading;
    QString drawingHeading;
    QString documentHeading;  // "%1": the best species
    QString locale;           // "en", "es" or "fr": the date is written in it
};

// Lays the report out as a rich-text document (the drawing as its resource "drawing").
void fillReport(QTextDocument& document, const ReportContent& content, const ReportTexts& texts);

// Prints the report, on as many pages as it takes; one job, copies left to the printer.
PrintOutcome printReport(QPrinter& printer, const ReportContent& content, const ReportTexts& texts);

}  // namespace commands
