#include "authoring/webassets.h"

#include "platform/safefile.h"

#include <QDir>

namespace authoring {

// For now only an empty table of assets, so that the player finds the script it loads.
bool writeWebAssets(const WebAssetsSource& source, const QString& out, QString* error) {
    if (!source.model) {
        if (error) *error = QStringLiteral("no knowledge base to export");
        return false;
    }
    if (!QDir().mkpath(out + QStringLiteral("/data"))) {
        if (error) *error = QStringLiteral("cannot create ") + out + QStringLiteral("/data");
        return false;
    }
    return platform::writeFileSafely(out + QStringLiteral("/data/assets.js"),
                                     QByteArrayLiteral("globalThis.VIREKA_ASSETS = {};\n"), error);
}

}  // namespace authoring
