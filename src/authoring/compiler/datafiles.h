#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

// The two headerless files of 16-bit little-endian integers beside the database.
namespace authoring::datafiles {

// POIDS.DAT: one weight per state. MATRICE.DAT: matrix(s, j) at position s + species × j.
bool writeInt16s(const QString& path, const std::vector<qint16>& values, QString* error);

}  // namespace authoring::datafiles
