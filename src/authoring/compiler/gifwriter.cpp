#include "authoring/compiler/gifwriter.h"

#include "platform/stagedfile.h"

#include <QHash>
#include <vector>

namespace authoring {

namespace {

void put16(QByteArray& out, int v) {
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}

// Packs variable-length codes into 255-byte sub-blocks, least significant bit first.
class BitPacker {
public:
    explicit BitPacker(QByteArray& out) : m_out(out) {}
    void put(int code, int bits) {
        m_acc |= quint32(code) << m_count;
        m_count += bits;
        while (m_count >= 8) {
            byte(char(m_acc & 0xff));
            m_acc >>= 8;
            m_count -= 8;
        }
    }
    void flush() {
        if (m_count > 0) byte(char(m_acc & 0xff));
        if (!m_block.isEmpty()) emitBlock();
        m_out.append(char(0));
    }

private:
    void byte(char b) {
        m_block.append(b);
        if (m_block.size() == 255) emitBlock();
    }
    void emitBlock() {
        m_out.append(char(m_block.size()));
        m_out.append(m_block);
        m_block.clear();
    }
    QByteArray& m_out;
    QByteArray m_block;
    quint32 m_acc = 0;
    int m_count = 0;
};

}  // namespace

QByteArray GifWriter::lzw(const QImage& indexed, int codeSize) {
    QByteArray out;
    out.append(char(codeSize));
    BitPacker bits(out);
    const int clear = 1 << codeSize, end = clear + 1;
    // Dictionary: (prefix code << 8 | byte) -> code.
    std::vector<int> table(size_t(4096) * 256, -1);
    int next = end + 1, width = codeSize + 1;
    bits.put(clear, width);
    int prefix = -1;
    for (int y = 0; y < indexed.height(); ++y) {
        const uchar* row = indexed.constScanLine(y);
        for (int x = 0; x < indexed.width(); ++x) {
            const int c = row[x];
            if (prefix < 0) {
                prefix = c;
                continue;
            }
            int& slot = table[size_t(prefix) * 256 + size_t(c)];
            if (slot >= 0) {
                prefix = slot;
                continue;
            }
            bits.put(prefix, width);
            if (next < 4096) {
                slot = next++;
                if (next > (1 << width) && width < 12) ++width;
            } else {
                bits.put(clear, width);
                std::fill(table.begin(), table.end(), -1);
                next = end + 1;
                width = codeSize + 1;
            }
            prefix = c;
        }
    }
    if (prefix >= 0) bits.put(prefix, width);
    bits.put(end, width);
    bits.flush();
    return out;
}

QByteArray GifWriter::encode(const QImage& image) {
    QImage indexed =
        image.format() == QImage::Format_Indexed8
            ? image
            : image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    QList<QRgb> colours = indexed.colorTable();
    int bitsPerColour = 1;
    while ((1 << bitsPerColour) < colours.size()) ++bitsPerColour;
    colours.resize(1 << bitsPerColour, qRgb(0, 0, 0));

    QByteArray out("GIF89a");
    put16(out, indexed.width());
    put16(out, indexed.height());
    out.append(char(0x80 | ((bitsPerColour - 1) << 4) | (bitsPerColour - 1)));
    out.append(char(0));  // background colour index
    out.append(char(0));  // square pixels
    for (QRgb c : colours) {
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    out.append(char(0x2c));  // image descriptor
    put16(out, 0);
    put16(out, 0);
    put16(out, indexed.width());
    put16(out, indexed.height());
    out.append(char(0));
    out.append(lzw(indexed, std::max(2, bitsPerColour)));
    out.append(char(0x3b));
    return out;
}

bool GifWriter::save(const QImage& image, const QString& path, QString* error) {
    return platform::writeStagedFile(path, encode(image), error);
}

}  // namespace authoring
