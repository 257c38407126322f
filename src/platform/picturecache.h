#pragma once

#include "platform/picture.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace platform {

// Decoded pictures kept by file, so that showing the same file again costs a look at its
// size and date, not a decode. A file is known by its path, size and modification time: a
// file changed on disk is read again. The pictures kept weigh at most `byteLimit` (their
// pixels, or the size of a metafile's records); the least recently used go first, and a
// picture heavier than the whole limit is returned without being kept.
class PictureCache {
public:
    static constexpr qint64 DefaultLimit = qint64(64) << 20;

    explicit PictureCache(qint64 byteLimit = DefaultLimit) : limit_(byteLimit) {}

    // Picture::load, or the picture kept for the same file.
    Picture load(const QString& path, QString* error = nullptr);

    qint64 bytes() const { return bytes_; }
    qint64 byteLimit() const { return limit_; }
    int count() const { return int(entries_.size()); }
    void clear();

private:
    struct Entry {
        QString path;
        qint64 size = 0;
        qint64 modified = 0;  // milliseconds since the epoch
        qint64 cost = 0;
        std::uint64_t lastUse = 0;
        Picture picture;
    };
    static qint64 costOf(const Picture& picture, qint64 fileSize);
    void trimTo(qint64 limit);

    qint64 limit_;
    qint64 bytes_ = 0;
    std::uint64_t uses_ = 0;
    std::vector<Entry> entries_;  // a few dozen at most: searched in order
};

}  // namespace platform
