#pragma once

#include "kb/datavalues.h"
#include "platform/int16.h"

#include <QString>
#include <vector>

namespace kb {

// The headerless files of 16-bit little-endian integers beside the database. Each is read
// (or mapped) whole, once. Its size must be exactly two bytes per value: a shorter file lacks
// values, and a longer one belongs to another knowledge base (left by an interrupted rebuild,
// or copied from elsewhere), so both are refused. Only regular files are opened: a device or
// a pipe is refused before anything waits on it.
class DataFiles {
public:
    enum class Status { Ok, OpenFailed, ReadFailed };

    // Reads count values from the file into values (resized to count).
    static Status read(const QString& path, size_t count, std::vector<platform::i16>& values,
                       QString* detail);
    // The same values, mapped read-only where the platform allows it, read otherwise.
    static Status map(const QString& path, size_t count, DataValues& values, QString* detail);

    // Why a file of the given size cannot hold exactly count values; empty when it can.
    // Every reader of these files (the loader, the command-line checks) asks this one rule.
    static QString sizeMismatch(const QString& path, qint64 size, size_t count);
};

}  // namespace kb
