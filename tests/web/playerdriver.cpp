#include "playerdriver.h"

#include "support/toolrun.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QUrl>

namespace testing_support {

QString siteUrl(const QString& site) {
    return QUrl::fromLocalFile(site + QStringLiteral("/index.html")).toString();
}

QStringList lines(const QString& text) {
    QStringList out = text.split(QLatin1Char('\n'));
    while (!out.isEmpty() && out.last().isEmpty()) out.removeLast();
    return out;
}

// The desktop's list and legend for the description the page holds now.
QStringList desktopRank(WebPage& page, const QString& dataDir, const QString& folder) {
    const QVariantList bytes = page.js("Array.from(VirekaPlayer.id().toQnt())").toList();
    QByteArray qnt;
    for (const QVariant& b : bytes) qnt.append(char(b.toInt()));
    const QString path = folder + QStringLiteral("/page.qnt");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(qnt) != qnt.size()) return {};
    file.close();
    const ToolRun r =
        runTool(VIREKA_KB_PATH, {"rank", "--data", dataDir, "--base", "vireka.db", "--qnt", path});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    return lines(r.out);
}

// What the page shows: the lines of its list, then its legend.
QStringList pageRank(WebPage& page) {
    QStringList shown =
        page.js("[...document.querySelectorAll('#list button.line')].map(b => b.textContent)")
            .toStringList();
    shown << page.js("document.getElementById('legend').textContent").toString();
    return shown;
}

// States chosen in the page's description.
QList<int> chosenStates(WebPage& page) {
    QList<int> states;
    for (const QVariant& v :
         page.js("[...VirekaPlayer.id().stateChoice].flatMap((v, s) => v === 1 ? [s] : [])")
             .toList())
        states << v.toInt();
    return states;
}

int firstState(WebPage& page, const QString& question) {
    return page
        .js(QStringLiteral("VirekaPlayer.key.objects[VirekaPlayer.key.objectIndex('%1')].first")
                .arg(question))
        .toInt();
}

// The point of the drawing at zone-grid position (x, y), in the window.
QPoint onDrawing(WebPage& page, double x, double y) {
    const QVariantList r = page.js("(() => { const r = document.getElementById('drawing')"
                                   ".getBoundingClientRect(); return [r.left, r.top, r.width,"
                                   " r.height]; })()")
                               .toList();
    if (r.size() != 4) return QPoint(-1, -1);
    return QPoint(int(r[0].toDouble() + x * r[2].toDouble() / 2400),
                  int(r[1].toDouble() + y * r[3].toDouble() / 1800));
}

QString openQuestion(WebPage& page) {
    return page
        .js("document.body.dataset.view === 'question' ? document.body.dataset.question : ''")
        .toString();
}

bool painted(WebPage& page) {
    // The latest painting asked for is the one on the canvas (a resize clears it first).
    return page.waitFor(
        "document.getElementById('drawing').dataset.painted === "
        "String(VirekaPlayer.drawing.generation)");
}

// Clicks a part of the drawing and waits for its question.
bool ask(WebPage& page, QPoint at, const QString& question) {
    if (!painted(page)) return false;
    page.click(at);
    return page.waitFor(QStringLiteral("document.body.dataset.question === '%1' && "
                                       "document.body.dataset.view === 'question'")
                            .arg(question),
                        5000);
}

void pickCell(WebPage& page, int cell) {
    page.click(page.centreOf(QStringLiteral("#choice .cell[data-cell=\"%1\"]").arg(cell)));
}

int markedCell(WebPage& page) {
    return page
        .js("(() => { const m = document.querySelector('#choice .cell.marked');"
            " return m ? Number(m.dataset.cell) : -1; })()")
        .toInt();
}

void confirm(WebPage& page) {
    page.click(page.centreOf("#questionBar button:first-child"));
    page.waitFor("document.body.dataset.view === 'key'", 5000);
}

}  // namespace testing_support
