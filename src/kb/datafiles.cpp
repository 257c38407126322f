#include "kb/datafiles.h"

#include "platform/boundedfile.h"
#include "platform/paths.h"

#include <QtEndian>
#include <cstring>

namespace kb {

QString DataFiles::sizeMismatch(const QString& path, qint64 size, size_t count) {
    const qint64 wanted = qint64(count) * 2;
    if (size == wanted) return {};
    return QStringLiteral("%1 holds %2 bytes where exactly %3 are needed")
        .arg(path)
        .arg(size)
        .arg(wanted);
}

DataFiles::Status DataFiles::read(const QString& path, size_t count,
                                  std::vector<platform::i16>& values, QString* detail) {
    using platform::BoundedFile;
    const QString local = platform::toLocalPath(path);
    // The size is checked before anything is read, so a file of the wrong size never costs
    // memory; reading stops one byte past the size wanted in case the file grows meanwhile.
    const BoundedFile::Result found = BoundedFile::inspect(local);
    if (!found.ok()) {
        if (detail)
            *detail = QStringLiteral("%1 cannot be opened: %2").arg(path, found.errorString);
        return Status::OpenFailed;
    }
    QString mismatch = sizeMismatch(path, found.size, count);
    QByteArray bytes;
    if (mismatch.isEmpty()) {
        const BoundedFile::Result r = BoundedFile::read(local, qint64(count) * 2, &bytes);
        if (!r.ok() && r.status != BoundedFile::Status::TooLarge) {
            if (detail) *detail = QStringLiteral("%1 cannot be read: %2").arg(path, r.errorString);
            return Status::ReadFailed;
        }
        mismatch = sizeMismatch(path, r.ok() ? bytes.size() : r.size, count);
    }
    if (!mismatch.isEmpty()) {
        if (detail) *detail = mismatch;
        return Status::ReadFailed;
    }
    values.assign(count, 0);
    if (count) std::memcpy(values.data(), bytes.constData(), size_t(bytes.size()));
    if constexpr (QSysInfo::ByteOrder != QSysInfo::LittleEndian) {
        for (auto& v : values) v = qFromLittleEndian(v);
    }
    return Status::Ok;
}

}  // namespace kb
