#include "platform/wmfformat.h"

namespace platform::wmf {

namespace {

// Code page 1252 characters 0x80..0x9F; 0 where the code page leaves a hole.
constexpr char16_t HighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

QString decodeText(const char* bytes, qsizetype length) {
    QString text;
    text.reserve(length);
    for (qsizetype i = 0; i < length; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0x80 && b < 0xA0 && HighControls[b - 0x80] != 0)
            text.append(QChar(HighControls[b - 0x80]));
        else
            text.append(QChar(b));
    }
    return text;
}

QByteArray encodeText(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        char out = '?';
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out = static_cast<char>(u);
        } else {
            for (int i = 0; i < 32; ++i) {
                if (HighControls[i] == u) out = static_cast<char>(0x80 + i);
            }
        }
        bytes.append(out);
    }
    return bytes;
}

}  // namespace platform::wmf
