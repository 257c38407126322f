#pragma once

#include "authoring/webexport/webassets.h"

#include <QString>

namespace authoring {

// The key's title as its "Parametres" row "Titre" gives it; empty when it has none.
QString keyTitle(kb::Model& model);

// The key's icon, a square PNG of `side` pixels: the parts of its drawing shown whatever the
// answers, over white, or for a key without a drawing its title's first letter.
QByteArray keyIcon(const WebAssetsSource& source, const QString& title, int side);

// What makes a site served over http(s) installable and usable offline, written into the
// finished site folder: the web manifest (title, icons) and the service worker sw.js, which
// lists every file of the site and carries a version made from their contents, so that a
// changed site is fetched again and an unchanged one is not. A site opened from a folder
// loads neither.
bool writeOfflineFiles(const QString& site, const QString& title, QString* error);

}  // namespace authoring
