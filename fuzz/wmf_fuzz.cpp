// Feeds arbitrary bytes to the metafile player, and to the picture loader that recognises
// metafiles by content, then plays what was accepted into a small image.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdint>

#include "platform/picture.h"
#include "platform/wmfplayer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    static int argc = 1;
    static char name[] = "wmf_fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;

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
