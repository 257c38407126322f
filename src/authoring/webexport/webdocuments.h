#pragma once

#include "authoring/webexport/webassets.h"

#include <QJsonObject>
#include <QSet>
#include <QString>
#include <QStringList>

namespace authoring {

// Publishes the species documents into the site's docs/ folder, cleaned (see
// HtmlSanitizer): the documents of every species (every page of its folder), the pages and
// pictures they link to inside the documents folder, and the error pages of the data folder.
// A link that leaves the documents folder, or names a file that is not there, becomes plain
// text; a picture browsers cannot show is converted to PNG.
class WebDocuments {
public:
    WebDocuments(const WebAssetsSource& source, QString out);

    // Writes the documents; false with errorString() when a file cannot be written.
    bool write();

    // {"species": {"CODE": {"en": "docs/a/abcde/abcde_en.html", ...}},
    //  "error": {"en": "docs/error_en.html", ...}}: the pages the player opens.
    QJsonObject index() const { return index_; }
    const QStringList& notes() const { return notes_; }
    QString errorString() const { return error_; }

private:
    void publishPage(const QString& path);
    QString mapLink(const QString& pageFolder, const QString& address, bool picture);
    QString publishPicture(const QString& path);
    bool writeOut(const QString& relative, const QByteArray& bytes);
    QString relativeInside(const QString& path) const;

    const WebAssetsSource& source_;
    QString out_;
    QString documents_;  // canonical documents folder, with a final "/"
    QStringList queue_;  // canonical paths of pages still to publish
    QSet<QString> published_;
    QJsonObject index_;
    QStringList notes_;
    QString error_;
};

}  // namespace authoring
