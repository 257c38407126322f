#include "kb/datafiles.h"

#include "platform/paths.h"

#include <QFile>
#include <QtEndian>

namespace kb {

DataFiles::Status DataFiles::read(const QString& path, size_t count,
                                  std::vector<platform::i16>& values, QString* detail) {
    QFile file(platform::toLocalPath(path));
    if (!file.open(QIODevice::ReadOnly)) {
        if (detail)
            *detail = QStringLiteral("%1 cannot be opened: %2").arg(path, file.errorString());
        return Status::OpenFailed;
    }
    const qint64 wanted = qint64(count) * 2;
    // The size is checked before anything is allocated, so a count that does not match the
    // file never costs memory.
    if (file.size() < wanted) {
        if (detail)
            *detail = QStringLiteral("%1 holds %2 bytes where %3 are needed")
                          .arg(path)
                          .arg(file.size())
                          .arg(wanted);
        return Status::ReadFailed;
    }
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

}  // namespace kb
