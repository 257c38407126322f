#pragma once

#include "authoring/webexport/webassets.h"

#include <QByteArray>
#include <QMap>
#include <QString>

namespace authoring {

// The pieces of a static web site made from a knowledge base: the data the web engine ranks
// with (the script data/key.js, made by the engine layer from its own tables) and what the
// pictures, documents and texts are made from.
struct WebSiteInput {
    WebAssetsSource source;
    QByteArray keyScript;
    // Further pages of the site by their path in it (the printable key, "key.html").
    QMap<QString, QByteArray> pages;
};

// Writes the site into a folder beside `out` and swaps it in once it is whole: index.html,
// engine/ and player/ (taken from the resources under ":/web/"), data/key.js, then the assets.
// `out` must be missing, empty or an earlier export (it holds data/key.js): any other folder
// would be lost on replacing it. False with *error; `out` is then left as it was.
bool exportWebSite(const WebSiteInput& input, const QString& out, QString* error);

// Copies the resource folder `from` (":/web/engine") into the folder `to`, sub-folders
// included.
bool copyResourceFolder(const QString& from, const QString& to, QString* error);

}  // namespace authoring
