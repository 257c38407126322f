#include "authoring/evaluation/evaluationreport.h"

#include "authoring/evaluation/keymatrix.h"

#include <cmath>

namespace authoring {

namespace {

QString species(const KeyMatrix& m, int s) {
    return QStringLiteral("%1 (%2)").arg(m.speciesName(s), m.speciesCode(s));
}

QString questionLabel(const KeyMatrix& m, int q) {
    return QStringLiteral("%1 \"%2\"").arg(m.question(q).key, m.questionText(q));
}

// Why a question separates nothing, or nothing when it separates some pair.
QString uselessBecause(const KeyMatrix& m, const SeparationReport& r, int q) {
    if (!m.proposable(q))
        return m.question(q).stateCount < 2 ? QStringLiteral("a single state")
                                            : QStringLiteral("never proposed (Joker off)");
    if (r.pairsSeparated[size_t(q)] > 0) return {};
    if (r.codedSpecies[size_t(q)] < 2) return QStringLiteral("coded for fewer than two species");
    return QStringLiteral("the species coded for it share its states");
}

bool codedForFew(const KeyMatrix& m, const SeparationReport& r, int q) {
    return r.codedSpecies[size_t(q)] < FewCodedShare * m.speciesCount();
}

// The parts of the report as rows of text, shared by both forms.
struct Sections {
    QStringList groups, fragile, useless, few, perQuestion, effort, distribution, unreached;
};

Sections sections(const KeyMatrix& m, const Evaluation& e) {
    Sections s;
    const SeparationReport& r = e.separation;
    for (size_t g = 0; g < r.groups.size(); ++g) {
        QStringList names;
        for (const int sp : r.groups[g]) names << species(m, sp);
        QStringList close;
        for (const int q : r.closest[g]) close << questionLabel(m, q);
        s.groups << names.join(QStringLiteral(", ")) +
                        (r.groupIsWhole[g] ? QString()
                                           : QStringLiteral(" (not every pair: linked through a "
                                                            "species with several states)")) +
                        QStringLiteral("\n    closest: ") +
                        (close.isEmpty() ? QStringLiteral("none, they are coded alike")
                                         : close.join(QStringLiteral("; ")));
    }
    for (const auto& f : r.fragile)
        s.fragile << QStringLiteral("%1 / %2: only %3")
                         .arg(species(m, f.a), species(m, f.b), questionLabel(m, f.question));
    for (int q = 0; q < m.questionCount(); ++q) {
        const QString why = uselessBecause(m, r, q);
        if (!why.isEmpty()) s.useless << questionLabel(m, q) + QStringLiteral(": ") + why;
        if (codedForFew(m, r, q))
            s.few << QStringLiteral("%1: coded for %2 of %3 species")
                         .arg(questionLabel(m, q))
                         .arg(r.codedSpecies[size_t(q)])
                         .arg(m.speciesCount());
        s.perQuestion << QStringLiteral("%1\t%2\t%3\t%4")
                             .arg(m.question(q).key)
                             .arg(r.pairsSeparated[size_t(q)])
                             .arg(r.codedSpecies[size_t(q)])
                             .arg(m.questionText(q));
    }
    const EffortReport& f = e.effort;
    const int n = m.speciesCount();
    s.effort << QStringLiteral("species simulated: %1 of %2%3")
                    .arg(f.species.size())
                    .arg(n)
                    .arg(f.sampled ? QStringLiteral(" (every %1th)").arg(f.step) : QString());
    s.effort << QStringLiteral("brought alone to the top: %1").arg(f.reached);
    s.effort << QStringLiteral("mean answers: %1").arg(f.mean, 0, 'f', 2);
    if (f.worst >= 0)
        s.effort
            << QStringLiteral("worst: %1 answers, %2").arg(f.worstAnswers).arg(species(m, f.worst));
    s.effort << QStringLiteral("lower bound log2(species): %1")
                    .arg(n > 0 ? std::log2(double(n)) : 0.0, 0, 'f', 2);
    for (const auto& [answers, count] : f.distribution)
        s.distribution << QStringLiteral("%1\t%2").arg(answers).arg(count);
    for (size_t i = 0; i < f.species.size(); ++i)
        if (f.answers[i] < 0) s.unreached << species(m, f.species[i]);
    return s;
}

void textList(QString& out, const QString& heading, const QStringList& rows) {
    out += QStringLiteral("%1: %2\n").arg(heading).arg(rows.size());
    for (int i = 0; i < rows.size() && i < ReportListLimit; ++i) out += "  " + rows[i] + "\n";
    if (rows.size() > ReportListLimit)
        out += QStringLiteral("  ... and %1 more\n").arg(rows.size() - ReportListLimit);
}

QString esc(const QString& s) {
    return s.toHtmlEscaped();
}

void htmlList(QString& out, const QString& heading, const QStringList& rows) {
    out += QStringLiteral("<h2>%1 (%2)</h2>\n").arg(esc(heading)).arg(rows.size());
    if (rows.isEmpty()) return;
    out += "<ul>\n";
    for (int i = 0; i < rows.size() && i < ReportListLimit; ++i)
        out += "<li>" + esc(rows[i]).replace('\n', "<br>") + "</li>\n";
    if (rows.size() > ReportListLimit)
        out += QStringLiteral("<li>&hellip; and %1 more</li>\n").arg(rows.size() - ReportListLimit);
    out += "</ul>\n";
}

void htmlTable(QString& out, const QStringList& header, const QStringList& rows) {
    out += "<table>\n<tr>";
    for (const QString& h : header) out += "<th>" + esc(h) + "</th>";
    out += "</tr>\n";
    for (const QString& row : rows) {
        out += "<tr>";
        for (const QString& cell : row.split('\t')) out += "<td>" + esc(cell) + "</td>";
        out += "</tr>\n";
    }
    out += "</table>\n";
}

const char* const Headings[] = {
    "Taxa the key cannot separate", "Fragile separations (one question only)",
    "Questions that separate nothing", "Questions coded for few species (under 10%)",
    "Species Search never brings alone to the top"};

}  // namespace

QString evaluationText(const KeyMatrix& m, const Evaluation& e) {
    const Sections s = sections(m, e);
    QString out =
        QStringLiteral("%1 species, %2 questions\n").arg(m.speciesCount()).arg(m.questionCount());
    if (!e.separation.complete)
        out += QStringLiteral(
            "note: the pair comparisons reached their budget; the lists are "
            "incomplete\n");
    textList(out, QLatin1String(Headings[0]), s.groups);
    textList(out, QLatin1String(Headings[1]), s.fragile);
    textList(out, QLatin1String(Headings[2]), s.useless);
    textList(out, QLatin1String(Headings[3]), s.few);
    out += QStringLiteral("Pairs separated per question (question, pairs, species coded, text):\n");
    for (const QString& row : s.perQuestion) out += "  " + row + "\n";
    out += QStringLiteral(
        "Effort (answers Search needs to bring each species alone to the top, "
        "answering with its first state):\n");
    for (const QString& row : s.effort) out += "  " + row + "\n";
    out += QStringLiteral("  distribution (answers, species):\n");
    for (const QString& row : s.distribution) out += "    " + row + "\n";
    textList(out, QLatin1String(Headings[4]), s.unreached);
    return out;
}

QString evaluationHtml(const KeyMatrix& m, const Evaluation& e, const QString& title) {
    const Sections s = sections(m, e);
    QString out = QStringLiteral(
                      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
                      "<title>%1</title>\n<style>body{font-family:sans-serif;margin:1em 2em}"
                      "table{border-collapse:collapse}td,th{border:1px solid #bbb;padding:2px "
                      "6px;text-align:left}</style></head><body>\n<h1>%1</h1>\n<p>%2 species, "
                      "%3 questions</p>\n")
                      .arg(esc(title))
                      .arg(m.speciesCount())
                      .arg(m.questionCount());
    if (!e.separation.complete)
        out +=
            "<p><strong>The pair comparisons reached their budget; the lists are "
            "incomplete.</strong></p>\n";
    htmlList(out, QLatin1String(Headings[0]), s.groups);
    htmlList(out, QLatin1String(Headings[1]), s.fragile);
    htmlList(out, QLatin1String(Headings[2]), s.useless);
    htmlList(out, QLatin1String(Headings[3]), s.few);
    out += "<h2>Pairs separated per question</h2>\n";
    htmlTable(out, {"Question", "Pairs separated", "Species coded", "Text"}, s.perQuestion);
    out +=
        "<h2>Effort</h2>\n<p>Answers Search needs to bring each species alone to the top, "
        "answering with its first state.</p>\n<ul>\n";
    for (const QString& row : s.effort) out += "<li>" + esc(row) + "</li>\n";
    out += "</ul>\n";
    htmlTable(out, {"Answers", "Species"}, s.distribution);
    htmlList(out, QLatin1String(Headings[4]), s.unreached);
    out += "</body></html>\n";
    return out;
}

}  // namespace authoring
