#pragma once

#include <QByteArray>
#include <QImage>

// Device-independent bitmaps as metafile bitmap records carry them.
namespace platform::wmf {

// Decodes an uncompressed DIB (core or info header, 1, 4, 8, 16, 24 or 32 bits a pixel).
// Returns a null image when the header is unsound or the pixels run past the data.
// With paletteIndices the colour table holds indices into a palette the metafile selected;
// they are shown as greys since the player keeps no palette.
QImage decodeDib(const uchar* data, qsizetype size, bool paletteIndices = false);

// A bottom-up 24-bit DIB (info header and pixels) of the image.
QByteArray encodeDib24(const QImage& image);

}  // namespace platform::wmf
