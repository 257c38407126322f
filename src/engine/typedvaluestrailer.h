#pragma once

#include <QByteArray>
#include <optional>
#include <vector>

namespace engine {

// A value typed for a measured question: the state it chose (an index into StateChoice) and
// the number itself.
struct TypedValue {
    int state = -1;
    double value = 0;
    bool operator==(const TypedValue&) const = default;
};

// The typed values of a ".qnt" file, kept in a trailer right after the description so that
// readers which know only the description ignore them. Little-endian throughout:
//   "VKTV", version 1 (16 bits), record count N (16 bits), the trailer's length 20 + 12 N
//   (32 bits), the CRC-32 of the description before it (32 bits), N records of a state index
//   (32 bits) and a value (IEEE double), then the CRC-32 of every byte of the trailer before.
// A save writes over an existing file without shortening it, so the bytes after a description
// may be a tail left by an earlier save: the description's checksum tells a trailer written
// with this description from one left behind by another.
namespace typedvalues {

constexpr qsizetype HeaderBytes = 16;
constexpr qsizetype RecordBytes = 12;
constexpr qsizetype FooterBytes = 4;
constexpr qsizetype MaxRecords = 32767;
constexpr qsizetype MaxTrailerBytes = HeaderBytes + RecordBytes * MaxRecords + FooterBytes;

// The trailer for these values after `description`; empty when there is no value to keep.
QByteArray encode(const QByteArray& description, const std::vector<TypedValue>& values);

// The values of the trailer that starts at `bodyLength` in `file` and belongs to the bytes
// before it; nothing when there is none, it was written with another description, or any of
// it is malformed (a record naming no state below `stateCount`, a value that is not finite).
std::optional<std::vector<TypedValue>> decode(const QByteArray& file, qsizetype bodyLength,
                                              size_t stateCount);

// True when the bytes at `offset` begin like a trailer, valid or not.
bool startsTrailer(const QByteArray& file, qsizetype offset);

// CRC-32 (the polynomial of zip and PNG) of `bytes`.
quint32 crc32(QByteArrayView bytes);

}  // namespace typedvalues
}  // namespace engine
