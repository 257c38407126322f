#include "platform/picturecache.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace platform {

qint64 PictureCache::costOf(const Picture& picture, qint64 fileSize) {
    if (picture.isVector()) return std::max<qint64>(1, fileSize);
    const QSizeF size = picture.naturalSize();
    return std::max<qint64>(1, qint64(size.width()) * qint64(size.height()) * 4);
}

Picture PictureCache::load(const QString& path, QString* error) {
    const QFileInfo info(path);
    const QString key = QDir::cleanPath(info.absoluteFilePath());
    // Only a regular file can be the one kept; anything else goes to the loader, which says
    // why it is refused.
    const bool regular = info.isFile();
    const qint64 size = regular ? info.size() : -1;
    const qint64 modified = regular ? info.lastModified().toMSecsSinceEpoch() : -1;
    auto at = std::find_if(entries_.begin(), entries_.end(),
                           [&key](const Entry& e) { return e.path == key; });
    if (at != entries_.end()) {
        if (regular && at->size == size && at->modified == modified) {
            at->lastUse = ++uses_;
            return at->picture;
        }
        bytes_ -= at->cost;
        entries_.erase(at);
    }
    Picture picture = Picture::load(path, error);
    if (picture.isNull() || !regular) return picture;
    const qint64 cost = costOf(picture, size);
    if (cost > limit_) return picture;
    trimTo(limit_ - cost);
    entries_.push_back({key, size, modified, cost, ++uses_, picture});
    bytes_ += cost;
    return picture;
}

void PictureCache::trimTo(qint64 limit) {
    while (bytes_ > limit && !entries_.empty()) {
        auto oldest =
            std::min_element(entries_.begin(), entries_.end(),
                             [](const Entry& a, const Entry& b) { return a.lastUse < b.lastUse; });
        bytes_ -= oldest->cost;
        entries_.erase(oldest);
    }
}

void PictureCache::clear() {
    entries_.clear();
    bytes_ = 0;
}

}  // namespace platform
