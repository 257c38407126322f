#include "support/hostilefiles.h"

#include <zlib.h>

namespace testing_support {

namespace {

QByteArray bigEndian32(quint32 v) {
    const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    return QByteArray(bytes, 4);
}

void chunk(QByteArray& png, const char* type, const QByteArray& data) {
    const QByteArray body = QByteArray(type, 4) + data;
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size()));
    png += bigEndian32(quint32(data.size())) + body + bigEndian32(quint32(crc));
}

}  // namespace

QByteArray gzip(const QByteArray& plain) {
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, 16 + MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&z, uLong(plain.size()))) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.constData()));
    z.avail_in = uInt(plain.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(qsizetype(z.total_out));
    deflateEnd(&z);
    return out;
}

QByteArray pngClaiming(quint32 width, quint32 height) {
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    // 8 bits per channel, RGB, no interlacing.
    chunk(png, "IHDR", bigEndian32(width) + bigEndian32(height) + QByteArray("\x08\x02\0\0\0", 5));
    chunk(png, "IDAT", QByteArray("\x78\x9c\x03\x00\x00\x00\x00\x01", 8));
    chunk(png, "IEND", QByteArray());
    return png;
}

}  // namespace testing_support
