#include "authoring/webexport/webexport.h"

#include "authoring/webexport/webinstall.h"

#include "platform/stagedfile.h"
#include "platform/stagedoutput.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace authoring {

namespace {

bool fail(QString* error, const QString& message) {
    if (error) *error = message;
    return false;
}

QByteArray resource(const QString& path, bool* ok) {
    QFile file(path);
    *ok = file.open(QIODevice::ReadOnly);
    return *ok ? file.readAll() : QByteArray();
}

}  // namespace

bool copyResourceFolder(const QString& from, const QString& to, QString* error) {
    if (!QDir(from).exists()) return fail(error, QStringLiteral("the tool lacks ") + from);
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        if (!QDir().mkpath(QFileInfo(target).absolutePath()))
            return fail(error, QStringLiteral("cannot create ") + QFileInfo(target).absolutePath());
        bool ok = false;
        const QByteArray bytes = resource(source, &ok);
        if (!ok) return fail(error, QStringLiteral("cannot read ") + source);
        if (!platform::writeStagedFile(target, bytes, error)) return false;
    }
    return true;
}

bool exportWebSite(const WebSiteInput& input, const QString& out, QString* error) {
    if (input.keyScript.isEmpty()) return fail(error, QStringLiteral("no key data to export"));
    // An earlier export is recognised by its key data; anything else is not replaced.
    const QFileInfo target(out);
    if (target.isDir() &&
        !QDir(out).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot) &&
        !QFileInfo(out + QStringLiteral("/data/key.js")).isFile())
        return fail(error,
                    QStringLiteral("%1 is neither an earlier export nor an empty folder; it "
                                   "would be replaced whole, so choose another output folder")
                        .arg(target.absoluteFilePath()));
    platform::StagedOutput staged;
    if (!staged.begin(out, QStringLiteral("data/key.js"), error)) return false;
    const QString site = staged.path();
    bool ok = false;
    const QByteArray index = resource(QStringLiteral(":/web/player/index.html"), &ok);
    if (!ok) return fail(error, QStringLiteral("the tool lacks the player's index.html"));
    if (!platform::writeStagedFile(site + QStringLiteral("/index.html"), index, error) ||
        !copyResourceFolder(QStringLiteral(":/web/engine"), site + QStringLiteral("/engine"),
                            error) ||
        !copyResourceFolder(QStringLiteral(":/web/player"), site + QStringLiteral("/player"),
                            error))
        return false;
    if (!QDir().mkpath(site + QStringLiteral("/data")))
        return fail(error, QStringLiteral("cannot create ") + site + QStringLiteral("/data"));
    if (!platform::writeStagedFile(site + QStringLiteral("/data/key.js"), input.keyScript, error))
        return false;
    if (!writeWebAssets(input.source, site, error)) return false;
    for (auto page = input.pages.cbegin(); page != input.pages.cend(); ++page)
        if (!platform::writeStagedFile(site + QLatin1Char('/') + page.key(), page.value(), error))
            return false;
    // Last: the service worker lists every file written before it.
    const QString title = input.source.model ? keyTitle(*input.source.model) : QString();
    if (!writeOfflineFiles(site, title, error)) return false;
    return staged.commit(error);
}

}  // namespace authoring
