#pragma once

#include "webpage.h"

#include <QList>
#include <QString>
#include <QStringList>

// What a person does with the exported player, and what the desktop says of the same
// answers, for the tests of the web player.
namespace testing_support {

QString siteUrl(const QString& site);
QStringList lines(const QString& text);
// The list and legend vireka-kb rank prints for the description the page holds.
QStringList desktopRank(WebPage& page, const QString& dataDir, const QString& folder);
// The lines of the page's list, then its legend.
QStringList pageRank(WebPage& page);
QList<int> chosenStates(WebPage& page);
int firstState(WebPage& page, const QString& question);
// The window point of the drawing at zone-grid position (x, y).
QPoint onDrawing(WebPage& page, double x, double y);
QString openQuestion(WebPage& page);
bool painted(WebPage& page);
// Clicks the drawing and waits for the question to open.
bool ask(WebPage& page, QPoint at, const QString& question);
void pickCell(WebPage& page, int cell);
int markedCell(WebPage& page);
void confirm(WebPage& page);

}  // namespace testing_support
