#include "authoring/datafiles.h"

#include "platform/safefile.h"

#include <QtEndian>

namespace vkb::datafiles {

bool writeInt16s(const QString& path, const std::vector<qint16>& values, QString* error) {
    QByteArray bytes(qsizetype(values.size() * 2), Qt::Uninitialized);
    for (size_t i = 0; i < values.size(); ++i)
        qToLittleEndian<qint16>(values[i], bytes.data() + 2 * i);
    QString why;
    if (platform::writeFileSafely(path, bytes, &why)) return true;
    if (error) *error = QStringLiteral("cannot write ") + why;
    return false;
}

}  // namespace vkb::datafiles
