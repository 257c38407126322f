#pragma once

#include <QSet>
#include <QString>

namespace kb {
class Model;
}

namespace authoring {

// What the web site's pictures, documents and texts are made from: a knowledge base loaded as
// the program loads it, and the folders it names (absolute, ending with "/"; empty when the
// base has no such folder, as a key without a drawing has no drawings).
struct WebAssetsSource {
    QString dataDir;             // the database, the data files, the toolbar pictures
    QString drawingDir;          // the drawing layers and the contradiction marks
    QString descriptorDir;       // the pictures of choices
    QString documentDir;         // the species documents
    kb::Model* model = nullptr;  // its kept cursors may be moved
    // Pictures just read whole without fault (canonical paths): one of them that is an opaque
    // PNG fitting its box is copied after reading its header alone.
    QSet<QString> picturesRead;
};

// Writes into the site folder `out` (which already holds index.html, engine/ and
// data/key.js): data/assets.js, media/, docs/ and strings/. Every file read stays inside its
// folder and is read bounded; nothing is fetched from elsewhere. False with *error when the
// site cannot be completed; the caller then leaves the old site in place.
bool writeWebAssets(const WebAssetsSource& source, const QString& out, QString* error);

}  // namespace authoring
