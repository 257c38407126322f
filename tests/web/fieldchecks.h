#pragma once

#include "webpage.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>

// Checks of the player as a person meets it on a phone, with a screen reader, offline and on
// paper, for the web player's tests.
namespace testing_support {

// The elements matching `selector` that a finger cannot take: not wholly on the screen,
// covered at their centre by something else, or smaller than 44 x 44 CSS px. Each is
// described by its id or class, text and box.
QStringList untappable(WebPage& page, const QString& selector);
// Whether an element is shown (laid out with a size, not hidden by a style).
bool shown(WebPage& page, const QString& selector);
// An interface text of the page's string table in a language (0 en, 1 es, 2 fr).
QString pageText(WebPage& page, int number, int language);
// The legend the engine gives for the description, as the status line shows it.
QString engineLegend(WebPage& page);
// Runs axe-core in the page: the rules broken at "serious" or "critical", one line each.
QStringList seriousAxeViolations(WebPage& page);
// The window point of the centre of an element inside the document frame, or (-1, -1).
QPoint insideDocument(WebPage& page, const QString& selector);

// The site folder served on 127.0.0.1 by tests/web/staticserver.mjs while the object lives.
class LoopbackServer {
public:
    explicit LoopbackServer(const QString& folder);
    ~LoopbackServer();
    // The address of a file of the site, or empty when the server did not start.
    QString url(const QString& file) const;
    // Stops the server, as the network going away.
    void stop();

private:
    std::unique_ptr<QProcess> process_;
    int port_ = 0;
};

}  // namespace testing_support
