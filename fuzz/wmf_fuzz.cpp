// Feeds arbitrary bytes to the metafile player, and to the picture loader that recognises
// metafiles by content, then plays what was accepted into a small image.
#include "fuzzinput.h"

#include <QImage>
#include <QPainter>
#include <cstdint>

#include "platform/picture.h"
#include "platform/wmfplayer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::ensureApplication("wmf_fuzz");

    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QImage image(64, 48, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        platform::WmfPlayer(bytes).play(painter, QRectF(0, 0, 64, 48));
    }
    const platform::Picture picture = platform::Picture::fromData(bytes);
    if (!picture.isNull()) (void)picture.render(QSize(32, 24));
    return 0;
}
