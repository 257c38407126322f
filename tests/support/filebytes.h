#pragma once

#include <QByteArray>
#include <QString>

namespace testing_support {

// Writes a whole file, replacing it; a failure is a test failure.
void putBytes(const QString& path, const QByteArray& bytes);
// A whole file; "<unreadable>" when it cannot be opened.
QByteArray bytesOf(const QString& path);

}  // namespace testing_support
