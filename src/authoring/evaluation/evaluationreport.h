#pragma once

#include "authoring/evaluation/effort.h"
#include "authoring/evaluation/separation.h"

#include <QString>

namespace authoring {

class KeyMatrix;

struct Evaluation {
    SeparationReport separation;
    EffortReport effort;
};

// A question is "coded for few species" below this share of the species.
inline constexpr double FewCodedShare = 0.1;
// Lists longer than this are cut, saying how many were left out.
inline constexpr int ReportListLimit = 500;

// The report as plain text for a terminal, and as one HTML page. Every text from the base is
// written as plain text (escaped in HTML).
QString evaluationText(const KeyMatrix& matrix, const Evaluation& evaluation);
QString evaluationHtml(const KeyMatrix& matrix, const Evaluation& evaluation, const QString& title);

}  // namespace authoring
