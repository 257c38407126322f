#include "authoring/datafiles.h"

#include <QSaveFile>
#include <QtEndian>

namespace vkb::datafiles {

bool writeInt16s(const QString& path, const std::vector<qint16>& values, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = QStringLiteral("cannot write ") + path;
        return false;
    }
    QByteArray bytes(qsizetype(values.size() * 2), Qt::Uninitialized);
    for (size_t i = 0; i < values.size(); ++i)
        qToLittleEndian<qint16>(values[i], bytes.data() + 2 * i);
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        if (error) *error = QStringLiteral("cannot write ") + path;
        return false;
    }
    return true;
}

}  // namespace vkb::datafiles
