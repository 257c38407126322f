#include "engine/identificationfile.h"

#include "platform/boundedfile.h"
#include "platform/safefile.h"

#include <QtEndian>

namespace engine {

namespace {

using platform::i16;

// No knowledge base has more than 32767 states or frames, so no description is longer; a
// trailer of typed values may follow it.
constexpr qint64 MaxDescriptionBytes = 2 * (32767 + 32767);
constexpr qint64 MaxFileBytes = MaxDescriptionBytes + typedvalues::MaxTrailerBytes;

QByteArray readWhole(const QString& path, IdentificationFile::Status* status, QString* error) {
    QByteArray bytes;
    const auto r = platform::BoundedFile::read(path, MaxFileBytes, &bytes);
    *status = r.ok() ? IdentificationFile::Status::Ok
              : r.status == platform::BoundedFile::Status::TooLarge
                  ? IdentificationFile::Status::Foreign
                  : IdentificationFile::Status::CannotOpen;
    *error = r.errorString;
    return bytes;
}

i16 valueAt(const QByteArray& bytes, size_t index) {
    return qFromLittleEndian<i16>(bytes.constData() + 2 * index);
}

// How many whole entries of a section starting at entry `first` the file holds.
size_t entriesIn(const QByteArray& bytes, size_t first, size_t count) {
    const size_t available = size_t(bytes.size()) / 2;
    return available <= first ? 0 : std::min(count, available - first);
}

IdentificationFile::ReadResult check(const QByteArray& bytes, size_t states, size_t frames) {
    IdentificationFile::ReadResult r;
    r.size = bytes.size();
    const auto bodyLength = qsizetype(2 * (states + frames));
    r.typed = typedvalues::decode(bytes, bodyLength, states);
    // A trailer that belongs to this description says the file was saved with these counts.
    r.lengthDiffers = !r.typed && bytes.size() != bodyLength;
    if (!r.typed && bytes.size() > MaxDescriptionBytes)
        r.status = IdentificationFile::Status::Foreign;
    for (size_t i = 0, n = entriesIn(bytes, 0, states); i < n; ++i) {
        const i16 v = valueAt(bytes, i);
        if (v != 0 && v != 1) r.status = IdentificationFile::Status::Foreign;
    }
    for (size_t i = 0, n = entriesIn(bytes, states, frames); i < n; ++i) {
        const i16 v = valueAt(bytes, states + i);
        if (v != 0 && v != -1) r.status = IdentificationFile::Status::Foreign;
    }
    return r;
}

}  // namespace

IdentificationFile::ReadResult IdentificationFile::inspect(const QString& path, size_t stateCount,
                                                           size_t frameCount) {
    Status status = Status::Ok;
    QString error;
    const QByteArray bytes = readWhole(path, &status, &error);
    if (status != Status::Ok) return ReadResult{status, false, 0, error, std::nullopt};
    return check(bytes, stateCount, frameCount);
}

IdentificationFile::ReadResult IdentificationFile::read(const QString& path,
                                                        std::vector<i16>& choice,
                                                        std::vector<i16>& frames) {
    Status status = Status::Ok;
    QString error;
    const QByteArray bytes = readWhole(path, &status, &error);
    if (status != Status::Ok) return ReadResult{status, false, 0, error, std::nullopt};
    ReadResult r = check(bytes, choice.size(), frames.size());
    if (r.status != Status::Ok) return r;
    for (size_t i = 0, n = entriesIn(bytes, 0, choice.size()); i < n; ++i)
        choice[i] = valueAt(bytes, i);
    for (size_t i = 0, n = entriesIn(bytes, choice.size(), frames.size()); i < n; ++i)
        frames[i] = valueAt(bytes, choice.size() + i);
    return r;
}

bool IdentificationFile::write(const QString& path, const std::vector<i16>& choice,
                               const std::vector<i16>& frames, QString* errorString,
                               const std::vector<TypedValue>& typed) {
    QByteArray bytes(qsizetype(2 * (choice.size() + frames.size())), '\0');
    for (size_t i = 0; i < choice.size(); ++i) qToLittleEndian(choice[i], bytes.data() + 2 * i);
    for (size_t i = 0; i < frames.size(); ++i)
        qToLittleEndian(frames[i], bytes.data() + 2 * (choice.size() + i));
    const qsizetype bodyLength = bytes.size();
    bytes += typedvalues::encode(bytes, typed);
    // An existing longer file is written over from its first byte and keeps its tail, but for
    // a trailer after its description: that belongs to the description being replaced.
    QByteArray previous;
    if (platform::BoundedFile::read(path, MaxFileBytes, &previous).ok() &&
        previous.size() > bytes.size() && !typedvalues::startsTrailer(previous, bodyLength))
        bytes += previous.mid(bytes.size());
    return platform::writeFileSafely(path, bytes, errorString);
}

}  // namespace engine
