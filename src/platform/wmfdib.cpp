#include "platform/wmfdib.h"

#include <QtEndian>

namespace platform::wmf {

namespace {

// Far above any picture of a knowledge base, low enough that a forged header cannot make us
// allocate gigabytes.
constexpr qint64 MaxPixels = 16 * 1024 * 1024;

struct DibHeader {
    qint64 width = 0;
    qint64 height = 0;
    int bitCount = 0;
    quint32 compression = 0;
    qint64 colours = 0;
    int colourSize = 4;
    qint64 headerSize = 0;
    bool topDown = false;
};

bool readHeader(const uchar* data, qsizetype size, DibHeader* h) {
    if (size < 12) return false;
    h->headerSize = qFromLittleEndian<quint32>(data);
    if (h->headerSize == 12) {
        h->width = qFromLittleEndian<quint16>(data + 4);
        h->height = qFromLittleEndian<quint16>(data + 6);
        h->bitCount = qFromLittleEndian<quint16>(data + 10);
        h->colourSize = 3;
    } else {
        if (h->headerSize < 40 || h->headerSize > size) return false;
        h->width = qFromLittleEndian<qint32>(data + 4);
        h->height = qFromLittleEndian<qint32>(data + 8);
        h->bitCount = qFromLittleEndian<quint16>(data + 14);
        h->compression = qFromLittleEndian<quint32>(data + 16);
        h->colours = qFromLittleEndian<quint32>(data + 32);
    }
    if (h->height < 0) {
        h->topDown = true;
        h->height = -h->height;
    }
    if (h->width <= 0 || h->height <= 0 || h->width * h->height > MaxPixels) return false;
    if (h->compression != 0) return false;
    switch (h->bitCount) {
        case 1:
        case 4:
        case 8:
            if (h->colours == 0 || h->colours > (qint64(1) << h->bitCount))
                h->colours = qint64(1) << h->bitCount;
            return true;
        case 16:
        case 24:
        case 32:
            h->colours = 0;
            return true;
        default:
            return false;
    }
}

QRgb pixelAt(const uchar* row, qint64 x, const DibHeader& h, const QList<QRgb>& table) {
    switch (h.bitCount) {
        case 1:
        case 4:
        case 8: {
            const qint64 bit = x * h.bitCount;
            const int shift = 8 - h.bitCount - int(bit % 8);
            const int index = (row[bit / 8] >> shift) & ((1 << h.bitCount) - 1);
            return index < table.size() ? table[index] : qRgb(0, 0, 0);
        }
        case 16: {
            const quint16 v = qFromLittleEndian<quint16>(row + x * 2);
            return qRgb(((v >> 10) & 31) * 255 / 31, ((v >> 5) & 31) * 255 / 31,
                        (v & 31) * 255 / 31);
        }
        default: {
            const uchar* p = row + x * (h.bitCount / 8);
            return qRgb(p[2], p[1], p[0]);
        }
    }
}

}  // namespace

QImage decodeDib(const uchar* data, qsizetype size, bool paletteIndices) {
    DibHeader h;
    if (!readHeader(data, size, &h)) return {};
    const int entrySize = paletteIndices ? 2 : h.colourSize;
    const qint64 tableBytes = h.colours * entrySize;
    const qint64 stride = ((h.width * h.bitCount + 31) / 32) * 4;
    if (h.headerSize + tableBytes + stride * h.height > size) return {};

    QList<QRgb> table;
    const uchar* entry = data + h.headerSize;
    for (qint64 i = 0; i < h.colours; ++i, entry += entrySize) {
        if (paletteIndices) {
            const int grey = qFromLittleEndian<quint16>(entry) & 0xFF;
            table.append(qRgb(grey, grey, grey));
        } else {
            table.append(qRgb(entry[2], entry[1], entry[0]));
        }
    }
    QImage image(int(h.width), int(h.height), QImage::Format_RGB32);
    if (image.isNull()) return {};
    const uchar* bits = data + h.headerSize + tableBytes;
    for (qint64 y = 0; y < h.height; ++y) {
        const uchar* row = bits + stride * (h.topDown ? y : h.height - 1 - y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
        for (qint64 x = 0; x < h.width; ++x) out[x] = pixelAt(row, x, h, table);
    }
    return image;
}

QByteArray encodeDib24(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int width = image.width();
    const int height = image.height();
    const int stride = ((width * 24 + 31) / 32) * 4;
    QByteArray dib(40 + qsizetype(stride) * height, '\0');
    auto* d = reinterpret_cast<uchar*>(dib.data());
    qToLittleEndian<quint32>(40, d);
    qToLittleEndian<qint32>(width, d + 4);
    qToLittleEndian<qint32>(height, d + 8);
    qToLittleEndian<quint16>(1, d + 12);
    qToLittleEndian<quint16>(24, d + 14);
    qToLittleEndian<quint32>(quint32(stride * height), d + 20);
    for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* out = d + 40 + qsizetype(stride) * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            out[3 * x] = uchar(qBlue(in[x]));
            out[3 * x + 1] = uchar(qGreen(in[x]));
            out[3 * x + 2] = uchar(qRed(in[x]));
        }
    }
    return dib;
}

}  // namespace platform::wmf
