#include "kb/datafiles.h"

#include "platform/boundedfile.h"
#include "platform/paths.h"

#include <QFile>
#include <QtEndian>
#include <memory>

namespace kb {

namespace {

using Status = DataFiles::Status;

// Opens a data file and checks that it holds exactly `wanted` bytes, before anything is
// allocated, so that a count that does not match the file never costs memory.
Status openChecked(QFile& file, const QString& path, qint64 wanted, QString* detail) {
    // A pipe would wait for a writer and a device never ends: only regular files are opened.
    const platform::BoundedFile::Result found = platform::BoundedFile::inspect(file.fileName());
    if (!found.ok()) {
        if (detail)
            *detail = QStringLiteral("%1 cannot be opened: %2").arg(path, found.errorString);
        return Status::OpenFailed;
    }
    if (!file.open(QIODevice::ReadOnly) || file.isSequential()) {
        if (detail)
            *detail = QStringLiteral("%1 cannot be opened: %2").arg(path, file.errorString());
        return Status::OpenFailed;
    }
    const QString mismatch = DataFiles::sizeMismatch(path, file.size(), size_t(wanted / 2));
    if (!mismatch.isEmpty()) {
        if (detail) *detail = mismatch;
        return Status::ReadFailed;
    }
    return Status::Ok;
}

Status readOpen(QFile& file, const QString& path, size_t count, std::vector<platform::i16>& values,
                QString* detail) {
    const qint64 wanted = qint64(count) * 2;
    values.assign(count, 0);
    char* out = reinterpret_cast<char*>(values.data());
    qint64 done = 0;
    while (done < wanted) {
        const qint64 n = file.read(out + done, wanted - done);
        if (n <= 0) {
            if (detail)
                *detail = QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString());
            return Status::ReadFailed;
        }
        done += n;
    }
    if constexpr (QSysInfo::ByteOrder != QSysInfo::LittleEndian) {
        for (auto& v : values) v = qFromLittleEndian(v);
    }
    return Status::Ok;
}

}  // namespace

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
    QFile file(platform::toLocalPath(path));
    const Status opened = openChecked(file, path, qint64(count) * 2, detail);
    if (opened != Status::Ok) return opened;
    return readOpen(file, path, count, values, detail);
}

DataFiles::Status DataFiles::map(const QString& path, size_t count, DataValues& values,
                                 QString* detail) {
    auto file = std::make_unique<QFile>(platform::toLocalPath(path));
    const Status opened = openChecked(*file, path, qint64(count) * 2, detail);
    if (opened != Status::Ok) return opened;
    // The file's bytes are the values only in little-endian memory.
    if (QSysInfo::ByteOrder == QSysInfo::LittleEndian && count > 0) {
        if (uchar* p = file->map(0, qint64(count) * 2)) {
            values.adoptMapping(std::move(file), reinterpret_cast<const platform::i16*>(p), count);
            return Status::Ok;
        }
    }
    std::vector<platform::i16> read;
    const Status status = readOpen(*file, path, count, read, detail);
    if (status == Status::Ok) values.adopt(std::move(read));
    return status;
}

}  // namespace kb
