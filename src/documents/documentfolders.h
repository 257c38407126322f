#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

namespace documents {

// A species code that can be put into a path: no separator, no drive, no "..".
bool isPlainCode(const QString& code);

// True when path, once its links are followed, lies inside one of the folders (which may
// end with a separator of either kind). A path that does not exist is judged by its
// cleaned-up form.
bool liesInside(const QString& path, const QStringList& folders);

// Reads a page picture: a regular file of at most maxBytes, decoded with the reader's
// allocation limit. A null image when it cannot be read; *missing tells a file that is not
// there from one that is unreadable.
QImage readPagePicture(const QString& path, bool* missing, qint64 maxBytes = 64 << 20);

}  // namespace documents
