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
    // The species that share the best percentage when there are several, best first; none
    // of them is the answer. Empty when one species is best alone.
    QStringList tiedSpecies;
    int tiedPercent = 0;
    // A paragraph of a document; heading 1 to 6 for a heading, 0 for running text.
    struct Line {
        int heading = 0;
        QString text;
    };
    // The documents attached: the best species', or those of a few tied species.
    struct Document {
        QString species;
        std::vector<Line> lines;  // empty when the document cannot be read
    };
    std::vector<Document> documents;
};

// The report lists at most this many species; the rest are counted.
inline constexpr int ReportListedSpecies = 20;
// Tied species have their documents attached only when they are this few.
inline constexpr int ReportTiedDocuments = 3;

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
    QString moreLine;         // "%1": how many species are not listed
    QString tieLine;          // "%1": how many species share the best percentage, "%2": it
};

// Lays the report out as a rich-text document (the drawing as its resource "drawing").
void fillReport(QTextDocument& document, const ReportContent& content, const ReportTexts& texts);

// Prints the report, on as many pages as it takes; one job, copies left to the printer.
PrintOutcome printReport(QPrinter& printer, const ReportContent& content, const ReportTexts& texts);

}  // namespace commands
