#include "authoring/evaluation/speciescomparison.h"

#include "authoring/evaluation/keymatrix.h"
#include "kb/model.h"

#include <algorithm>

namespace authoring {

namespace {

QString cellText(const KeyMatrix& m, int q, int species, const ComparisonTexts& t) {
    const auto& o = m.question(q);
    QStringList states;
    for (int l = 0; l < o.stateCount; ++l) {
        const int s = o.firstState + l;
        if (s >= 0 && s < m.model().StateCount && m.model().matrix(species, s) != 0)
            states << m.stateText(s);
    }
    if (states.isEmpty()) return t.uncoded;
    if (!m.coded(q, species)) return t.anyState;
    return states.join(QStringLiteral("; "));
}

QString speciesLabel(const KeyMatrix& m, int s) {
    return QStringLiteral("%1 (%2)").arg(m.speciesName(s), m.speciesCode(s));
}

}  // namespace

SpeciesComparison compareSpecies(const KeyMatrix& m, const std::vector<int>& species,
                                 const ComparisonTexts& t) {
    SpeciesComparison c;
    c.species = species;
    const size_t n = species.size();
    for (int q = 0; q < m.questionCount(); ++q) {
        ComparisonRow row;
        row.question = q;
        std::vector<std::vector<std::uint64_t>> sets(
            n, std::vector<std::uint64_t>(size_t(m.words(q))));
        for (size_t i = 0; i < n; ++i) {
            row.cells.push_back(cellText(m, q, species[i], t));
            m.states(q, species[i], sets[i].data());
        }
        bool differs = false;
        for (size_t i = 0; i < n; ++i) {
            const auto same = size_t(std::count(sets.begin(), sets.end(), sets[i]));
            row.marked.push_back(same * 2 <= n);
            differs = differs || same < n;
            for (size_t j = i + 1; j < n; ++j)
                row.separates = row.separates || m.separates(q, species[i], species[j]);
        }
        if (!differs) row.marked.assign(n, false);
        (differs ? c.differing : c.agreeing).push_back(std::move(row));
    }
    return c;
}

QString comparisonText(const KeyMatrix& m, const SpeciesComparison& c, bool withAgreeing,
                       const ComparisonTexts& t) {
    QString out;
    for (const int s : c.species) out += speciesLabel(m, s) + QLatin1Char('\n');
    auto section = [&](const QString& heading, const std::vector<ComparisonRow>& rows) {
        out += QStringLiteral("\n%1: %2\n").arg(heading).arg(rows.size());
        for (const ComparisonRow& row : rows) {
            out += QStringLiteral("%1 \"%2\"%3\n")
                       .arg(m.question(row.question).key, m.questionText(row.question),
                            row.separates ? QStringLiteral(" (") + t.separates + ')' : QString());
            for (size_t i = 0; i < c.species.size(); ++i)
                out += QStringLiteral("  %1 %2: %3\n")
                           .arg(row.marked[i] ? QLatin1Char('*') : QLatin1Char(' '))
                           .arg(m.speciesName(c.species[i]), row.cells[i]);
        }
    };
    section(t.differ, c.differing);
    if (withAgreeing) section(t.agree, c.agreeing);
    return out;
}

QString comparisonHtml(const KeyMatrix& m, const SpeciesComparison& c, bool withAgreeing,
                       const ComparisonTexts& t) {
    auto esc = [](const QString& s) { return s.toHtmlEscaped(); };
    QStringList names;
    for (const int s : c.species) names << m.speciesName(s);
    QString out = QStringLiteral(
                      "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">\n<meta "
                      "name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                      "<title>%1</title>\n<style>body{font-family:sans-serif;margin:1em}"
                      "table{border-collapse:collapse;width:100%}th,td{border:1px solid #999;"
                      "padding:3px 6px;text-align:left;vertical-align:top}th{background:#eee}"
                      "td.differs{background:#ffe7a8;font-weight:bold}td.q small{color:#555}"
                      "</style></head><body>\n<h1>%1</h1>\n<p>%2</p>\n")
                      .arg(esc(t.title), esc(names.join(QStringLiteral(" / "))));
    auto table = [&](const QString& heading, const std::vector<ComparisonRow>& rows) {
        out += QStringLiteral("<h2>%1 (%2)</h2>\n<table>\n<tr><th>%3</th>")
                   .arg(esc(heading))
                   .arg(rows.size())
                   .arg(esc(t.question));
        for (const int s : c.species)
            out += QStringLiteral("<th>%1<br><small>%2</small></th>")
                       .arg(esc(m.speciesName(s)), esc(m.speciesCode(s)));
        out += QStringLiteral("</tr>\n");
        for (const ComparisonRow& row : rows) {
            out += QStringLiteral("<tr><td class=\"q\">%1%2</td>")
                       .arg(esc(m.questionText(row.question)),
                            row.separates
                                ? QStringLiteral("<br><small>%1</small>").arg(esc(t.separates))
                                : QString());
            for (size_t i = 0; i < row.cells.size(); ++i)
                out += QStringLiteral("<td%1>%2</td>")
                           .arg(row.marked[i] ? QStringLiteral(" class=\"differs\"") : QString(),
                                esc(row.cells[i]));
            out += QStringLiteral("</tr>\n");
        }
        out += QStringLiteral("</table>\n");
    };
    table(t.differ, c.differing);
    if (withAgreeing) table(t.agree, c.agreeing);
    out += QStringLiteral("</body></html>\n");
    return out;
}

}  // namespace authoring
