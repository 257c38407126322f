// Feeds arbitrary bytes to the program's picture loader as the raster and SVG pictures of a
// knowledge base reach it (PNG, GIF, BMP, JPEG, ICO, SVG, compressed SVG), then draws what
// was accepted. Metafiles have a target of their own: an input that starts like one is
// skipped here, so every run goes to the other formats.
#include "fuzzinput.h"

#include <QImage>
#include <cstdint>
#include <cstdlib>

#include "platform/picture.h"
#include "platform/wmfplayer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::ensureApplication("picture_fuzz");
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (platform::WmfPlayer::looksLikeWmf(bytes)) return -1;  // not added to the corpus
    QString error;
    const platform::Picture picture = platform::Picture::fromData(bytes, "fuzz", &error);
    if (picture.isNull()) {
        if (error.isEmpty()) std::abort();  // a refusal always says why
        return 0;
    }
    const QSizeF natural = picture.naturalSize();
    if (!(natural.width() <= 32768 && natural.height() <= 32768)) std::abort();
    (void)picture.render(QSize(32, 24));
    return 0;
}
