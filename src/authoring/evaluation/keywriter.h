#pragma once

#include "authoring/evaluation/dichotomouskey.h"

#include <QByteArray>
#include <QString>

namespace authoring {

class KeyMatrix;

// What a printed key says about itself. The date is given, so that the same base and the
// same date give the same file byte for byte.
struct KeyHeading {
    QString title;  // the knowledge base's title
    QString date;   // as it should be printed, e.g. 2026-12-11
};

// The words of a lead: the question and the states on it ("Eyes: touching; meeting at a point").
QString leadText(const KeyMatrix& matrix, const Couplet& couplet, int lead);
// An ending: "Name (Family)", or the names of species nothing separates, with a note.
QString endingText(const KeyMatrix& matrix, const std::vector<int>& species);

// The key numbered as printed keys are: "1." and "1'." for the leads of couplet 1, "2(1)."
// for couplet 2 reached from couplet 1; each lead ends with the couplet it leads to or its
// species. Base text is plain text in the text form and escaped in HTML.
QString keyText(const KeyMatrix& matrix, const DichotomousKey& key, const KeyHeading& heading);
QString keyHtml(const KeyMatrix& matrix, const DichotomousKey& key, const KeyHeading& heading);
// The HTML key laid out on A4 pages. The PDF's dates are the heading's date, so the file is
// the same for the same key. Empty when the date cannot be read.
QByteArray keyPdf(const KeyMatrix& matrix, const DichotomousKey& key, const KeyHeading& heading);

}  // namespace authoring
