#include "fieldchecks.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

namespace testing_support {

namespace {

QString quoted(const QString& text) {
    QString out = text;
    out.replace('\\', QStringLiteral("\\\\")).replace('\'', QStringLiteral("\\'"));
    return '\'' + out + '\'';
}

}  // namespace

QStringList untappable(WebPage& page, const QString& selector) {
    return page
        .js(QStringLiteral(
                "[...document.querySelectorAll(%1)].filter((e) => {"
                "  const r = e.getBoundingClientRect();"
                "  const x = r.left + r.width / 2, y = r.top + r.height / 2;"
                "  const top = document.elementFromPoint(x, y);"
                "  return r.width < 44 || r.height < 44 || r.left < -0.5 || r.top < -0.5 ||"
                "         r.right > innerWidth + 0.5 || r.bottom > innerHeight + 0.5 ||"
                "         !top || !(e === top || e.contains(top) || (e.control && e.control === "
                "top));"
                "}).map((e) => (e.id || e.className || e.tagName) + ' \"' + e.textContent.trim() +"
                "  '\" ' + JSON.stringify(e.getBoundingClientRect()))")
                .arg(quoted(selector)))
        .toStringList();
}

bool shown(WebPage& page, const QString& selector) {
    return page
        .js(QStringLiteral("(() => { const e = document.querySelector(%1); if (!e) return false;"
                           " const r = e.getBoundingClientRect(); return r.width > 0 &&"
                           " r.height > 0 && getComputedStyle(e).visibility !== 'hidden'; })()")
                .arg(quoted(selector)))
        .toBool();
}

QString pageText(WebPage& page, int number, int language) {
    return page
        .js(QStringLiteral("(VIREKA_STRINGS['%1'][%2] || '').replace(/&(?=\\S)/g, '')")
                .arg(number)
                .arg(language))
        .toString();
}

QString engineLegend(WebPage& page) {
    return page.js("VirekaPlayer.id().legend().trim()").toString();
}

QStringList seriousAxeViolations(WebPage& page) {
    if (!page.js("typeof axe === 'object'").toBool()) {
        QFile file(QStringLiteral(VIREKA_AXE));
        if (!file.open(QIODevice::ReadOnly))
            return {QStringLiteral("axe-core is missing (%1): run scripts/deps.sh")
                        .arg(file.fileName())};
        page.js(QString::fromUtf8(file.readAll()), 20000);
    }
    page.js(
        "window.axeFound = null; axe.run(document, {resultTypes: ['violations']}).then((r) => {"
        " window.axeFound = r.violations.filter((v) => v.impact === 'serious' ||"
        " v.impact === 'critical').map((v) => v.id + ': ' + v.nodes.map((n) =>"
        " n.target.join(' ')).join(', ')); }, (e) => { window.axeFound = ['axe failed: ' + e]; "
        "});");
    if (!page.waitFor("window.axeFound !== null", 30000)) return {QStringLiteral("axe timed out")};
    return page.js("window.axeFound").toStringList();
}

QPoint insideDocument(WebPage& page, const QString& selector) {
    const QVariantList box =
        page.js(QStringLiteral("(() => { const f = document.getElementById('doc');"
                               " const d = f.contentDocument; const e = d && d.querySelector(%1);"
                               " if (!e) return [-1, -1]; const o = f.getBoundingClientRect(),"
                               " r = e.getBoundingClientRect(); return [o.left + f.clientLeft +"
                               " r.left + r.width / 2, o.top + f.clientTop + r.top + r.height / 2];"
                               " })()")
                    .arg(quoted(selector)))
            .toList();
    if (box.size() != 2) return QPoint(-1, -1);
    return QPoint(int(box[0].toDouble()), int(box[1].toDouble()));
}

LoopbackServer::LoopbackServer(const QString& folder) : process_(std::make_unique<QProcess>()) {
    QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
    if (node.isEmpty()) node = QStringLiteral("/usr/bin/node");
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_->start(node, {QStringLiteral(VIREKA_WEB_TESTS "/staticserver.mjs"), folder});
    QElapsedTimer timer;
    timer.start();
    QByteArray out;
    while (!out.contains('\n') && timer.elapsed() < 15000 &&
           process_->state() != QProcess::NotRunning) {
        process_->waitForReadyRead(100);
        out += process_->readAllStandardOutput();
    }
    if (out.startsWith("port ")) port_ = out.mid(5).trimmed().toInt();
}

LoopbackServer::~LoopbackServer() {
    stop();
}

QString LoopbackServer::url(const QString& file) const {
    return port_ > 0 ? QStringLiteral("http://127.0.0.1:%1/%2").arg(port_).arg(file) : QString();
}

void LoopbackServer::stop() {
    if (process_->state() == QProcess::NotRunning) return;
    process_->closeWriteChannel();  // the server ends when its input closes
    if (!process_->waitForFinished(5000)) {
        process_->kill();
        process_->waitForFinished(5000);
    }
}

}  // namespace testing_support
