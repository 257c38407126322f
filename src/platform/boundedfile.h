#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace platform {

// Reading a file named by a user or a knowledge base: only a regular file is opened (a FIFO
// would block, a device never ends, a folder is not data), and never more than the format
// allows is read, so a hostile name cannot hang the program or exhaust its memory.
class BoundedFile {
public:
    enum class Status { Ok, Missing, NotRegular, TooLarge, ReadFailed };

    struct Result {
        Status status = Status::Ok;
        qint64 size = 0;      // the file's size on disk when it could be asked
        QString errorString;  // names the file and says why, ready to show
        bool ok() const { return status == Status::Ok; }
    };

    // Reads the whole file into *bytes when it is a regular file of at most limit bytes.
    static Result read(const QString& path, qint64 limit, QByteArray* bytes);

    // Says whether path is a regular file and how large, without reading it.
    static Result inspect(const QString& path);
};

}  // namespace platform
