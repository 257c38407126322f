#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace authoring {

// Encodes a GIF89a file (Qt reads GIF but cannot write it). The image is reduced to a
// colour table of at most 256 entries first; pictures made of flat colours keep them.
class GifWriter {
public:
    static QByteArray encode(const QImage& image);
    static bool save(const QImage& image, const QString& path, QString* error);

private:
    static QByteArray lzw(const QImage& indexed, int codeSize);
};

}  // namespace authoring
