#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Reading the files a dataset names. Every file must lie inside the dataset's folder, be a
// regular file (no device, FIFO or socket) and be smaller than the limit given; a dataset
// written on Windows is decoded as Windows-1252 unless it is valid UTF-8.
namespace authoring::datasetfiles {

constexpr qint64 kTextLimit = 64 * 1024 * 1024;
constexpr qint64 kPictureLimit = 16 * 1024 * 1024;

// The absolute path of `name` (relative to `folder`, "\" accepted as separator) when it
// stays inside `folder`; empty otherwise.
QString inside(const QString& folder, const QString& name);
// The refusal of a name that leads out of the dataset's folder.
QString outside(const QString& name);

bool read(const QString& path, qint64 limit, QByteArray& bytes, QString& error);

QString decode(const QByteArray& bytes);

// A picture the dataset names, decoded by the same bounded loader as a build's pictures (a
// compressed drawing is expanded under a limit, pixels are counted before they are made);
// raster pictures keep their pixels, drawings are rendered at their own size. A null image
// with the reason in `error` otherwise.
QImage readPicture(const QString& path, QString& error);

}  // namespace authoring::datasetfiles
