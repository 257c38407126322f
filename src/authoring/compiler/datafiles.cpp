#include "authoring/compiler/datafiles.h"

#include "platform/stagedfile.h"

#include <QtEndian>

namespace authoring::datafiles {

bool writeInt16s(const QString& path, const std::vector<qint16>& values, QString* error) {
    QByteArray bytes(qsizetype(values.size() * 2), Qt::Uninitialized);
    for (size_t i = 0; i < values.size(); ++i)
        qToLittleEndian<qint16>(values[i], bytes.data() + 2 * i);
    return platform::writeStagedFile(path, bytes, error);
}

}  // namespace authoring::datafiles
