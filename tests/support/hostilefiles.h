#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace testing_support {

// Bytes compressed in the gzip format, as a compressed drawing is stored.
QByteArray gzip(const QByteArray& plain);

// A PNG whose header claims the given size; its pixels are never there.
QByteArray pngClaiming(quint32 width, quint32 height);

}  // namespace testing_support
