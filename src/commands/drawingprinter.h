#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QPainter;
class QPrinter;
class QRectF;

namespace commands {

class frmPrint;

// What a print of pictures did.
struct PrintOutcome {
    int jobs = 0;   // jobs begun on the printer
    int pages = 0;  // pages finished
    bool cancelled = false;
    QStringList leftOut;  // layer files that are missing or could not be read
    QString error;        // the printer refused to start; empty otherwise
};

// Texts of the progress window, in the interface language.
struct ProgressTexts {
    QString caption;
    QString label;
    QString cancel;
};

// Prints the drawing of the organism: every layer the description asks for, played in
// drawing order onto one landscape page, once per copy. The progress window moves once per
// layer and lets pending events run there, so Cancel is heard; Cancel ends the whole
// command. Whatever happens, the job is ended or aborted, the window hidden and the printer's
// orientation put back.
class DrawingPrinter {
public:
    explicit DrawingPrinter(frmPrint& progress) : progress_(progress) {}

    // layerPaths: one knowledge-base path per drawing, empty where no variant matches.
    PrintOutcome print(QPrinter& printer, const QStringList& layerPaths, int copies,
                       const ProgressTexts& texts);

    // Plays the layers into target on painter, in order; false when Cancel was pressed
    // before a layer. Missing or unreadable layers are added to *leftOut.
    bool Print_Drawing(QPainter& painter, const QRectF& area, const QStringList& layerPaths,
                       QStringList* leftOut);

private:
    frmPrint& progress_;
};

// Ends a job that must not print: aborted where the printer can, and a file being written
// is removed, so a cancelled print leaves nothing behind.
void abandonJob(QPainter& painter, QPrinter& printer);

}  // namespace commands
