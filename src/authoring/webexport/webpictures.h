#pragma once

#include "authoring/webexport/webassets.h"

#include <QHash>
#include <QJsonObject>
#include <QSize>
#include <QString>

namespace authoring {

// The pictures of a knowledge base turned into what a browser shows, for the web site.
// The drawing's layers go into the assets script as PNG data: a canvas that draws them
// stays readable, so the page reads the displayed pixel under a click (pictures loaded
// from other files of a site opened from a folder would make it unreadable). Pictures of
// choices, toolbar pictures and contradiction icons are plain PNG files under media/.
// Only files the base names are converted, each read bounded and from inside its folder;
// one that cannot be read is left out, as the program leaves it out.
class WebPictures {
public:
    // The size the layers are drawn at: half the click-zone grid, in its 4:3 shape.
    static constexpr QSize LayerSize{1200, 900};

    WebPictures(const WebAssetsSource& source, QString out);

    // {"size": [w, h], "layers": {"00/WINGS_A.WMF": "data:image/png;base64,..."}}: every
    // layer a variant row or a contradiction mark can select, keyed by its path in the
    // drawing folder in upper case with "/" separators.
    QJsonObject drawing();
    // {"OBJECT KEY": {"file": "media/choices/3.png", "size": [w, h]}}, keys in upper case.
    QJsonObject choices();
    // {"deter": [{caption, tip, key, picture}], "question": [...]}; picture "" when missing.
    QJsonObject toolbars();
    // {"POPUP": "media/contra/1.png"} for the contradiction marks shown on buttons.
    QJsonObject contradictionIcons();
    // {"fr": {"title", "questions": {KEY: text}, "states": {CODE: text}, "groups": {heading:
    // text}, "deter"/"question": [{caption, tip}] (null: the base's own), "choices": as
    // choices()}} for each language of the base's "Textes"; empty without the table.
    QJsonObject languages();

    // Why a picture was left out, one line each (shown by the command as notes).
    const QStringList& notes() const { return notes_; }
    // The first failure to write a file, empty when none.
    const QString& errorString() const { return error_; }

private:
    // A file already converted for a box: where it went and at what size, or why it was
    // left out (relative empty).
    struct Converted {
        QString relative;
        QSize size;
        QString why;
    };

    QStringList variantSuffixes() const;
    QJsonObject localChoices(const QString& language);
    Converted convert(const QString& path, const QString& canonical, const QString& relative,
                      QSize maxSize);
    bool convertedPng(const QString& path, QSize maxSize, Converted& result, QSize& size,
                      QByteArray& png);
    QString writePng(const QString& folder, const QString& name, const QString& relative,
                     QSize maxSize, QSize* written);

    const WebAssetsSource& source_;
    QString out_;
    // Keyed by the file's canonical path and the box: many questions share one picture.
    QHash<QString, Converted> converted_;
    QStringList notes_;
    QString error_;
};

}  // namespace authoring
