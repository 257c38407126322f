#include "engine/typedvaluestrailer.h"

#include <QtEndian>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>

namespace engine::typedvalues {

namespace {

constexpr char Magic[4] = {'V', 'K', 'T', 'V'};
constexpr quint16 Version = 1;

constexpr std::array<quint32, 256> crcTable() {
    std::array<quint32, 256> table{};
    for (quint32 n = 0; n < 256; ++n) {
        quint32 c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}
constexpr auto CrcTable = crcTable();

template <typename T>
void put(QByteArray& out, T value) {
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof(T));
}

template <typename T>
T get(const QByteArray& in, qsizetype at) {
    return qFromLittleEndian<T>(in.constData() + at);
}

}  // namespace

quint32 crc32(QByteArrayView bytes) {
    quint32 c = 0xFFFFFFFFu;
    for (const char b : bytes) c = CrcTable[(c ^ quint8(b)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

QByteArray encode(const QByteArray& description, const std::vector<TypedValue>& values) {
    if (values.empty() || qsizetype(values.size()) > MaxRecords) return {};
    const auto count = qsizetype(values.size());
    QByteArray out;
    out.reserve(HeaderBytes + RecordBytes * count + FooterBytes);
    out.append(Magic, sizeof Magic);
    put<quint16>(out, Version);
    put<quint16>(out, quint16(count));
    put<quint32>(out, quint32(HeaderBytes + RecordBytes * count + FooterBytes));
    put<quint32>(out, crc32(description));
    for (const TypedValue& v : values) {
        put<qint32>(out, qint32(v.state));
        put<quint64>(out, std::bit_cast<quint64>(v.value));
    }
    put<quint32>(out, crc32(out));
    return out;
}

bool startsTrailer(const QByteArray& file, qsizetype offset) {
    return offset >= 0 && file.size() - offset >= qsizetype(sizeof Magic) &&
           std::memcmp(file.constData() + offset, Magic, sizeof Magic) == 0;
}

std::optional<std::vector<TypedValue>> decode(const QByteArray& file, qsizetype bodyLength,
                                              size_t stateCount) {
    if (bodyLength < 0 || file.size() - bodyLength < HeaderBytes + FooterBytes ||
        !startsTrailer(file, bodyLength) || get<quint16>(file, bodyLength + 4) != Version)
        return std::nullopt;
    // Every size is checked against the bytes present before anything is allocated.
    const qsizetype count = get<quint16>(file, bodyLength + 6);
    const qsizetype length = HeaderBytes + RecordBytes * count + FooterBytes;
    if (count == 0 || count > MaxRecords || qsizetype(stateCount) < count ||
        get<quint32>(file, bodyLength + 8) != quint32(length) || file.size() - bodyLength < length)
        return std::nullopt;
    const QByteArrayView trailer(file.constData() + bodyLength, length);
    if (get<quint32>(file, bodyLength + length - FooterBytes) !=
            crc32(trailer.first(length - FooterBytes)) ||
        get<quint32>(file, bodyLength + 12) != crc32(QByteArrayView(file).first(bodyLength)))
        return std::nullopt;
    std::vector<TypedValue> values;
    values.reserve(size_t(count));
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype at = bodyLength + HeaderBytes + RecordBytes * i;
        const qint32 state = get<qint32>(file, at);
        const double value = std::bit_cast<double>(get<quint64>(file, at + 4));
        if (state < 0 || size_t(state) >= stateCount || !std::isfinite(value)) return std::nullopt;
        values.push_back({state, value});
    }
    return values;
}

}  // namespace engine::typedvalues
