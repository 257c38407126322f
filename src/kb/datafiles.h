#pragma once

#include "kb/datavalues.h"
#include "platform/int16.h"

#include <QString>
#include <vector>

namespace kb {

// The headerless files of 16-bit little-endian integers beside the database. Each is read
// whole, once; bytes past the array are ignored and a short file is an error. Only regular
// files are read: a device or a pipe is refused before anything waits on it.
class DataFiles {
public:
    enum class Status { Ok, OpenFailed, ReadFailed };

    // Reads count values from the start of the file into values (resized to count).
    static Status read(const QString& path, size_t count, std::vector<platform::i16>& values,
                       QString* detail);
    // The same values, mapped read-only where the platform allows it, read otherwise.
    static Status map(const QString& path, size_t count, DataValues& values, QString* detail);
};

}  // namespace kb
