#pragma once

#include <QString>

namespace platform {

// Knowledge bases are written on a case-insensitive file system with "\" as a separator.
// toLocalPath turns such a path into one that opens here: separators become "/", and each
// component that does not exist as written is matched case-insensitively against the
// directory on disk. A component that matches nothing is kept as written.
QString toLocalPath(const QString& path);

// Joins a folder (with or without a final separator of either kind) and a relative name.
QString joinPath(const QString& folder, const QString& name);

// A folder path with one final "/" (an empty text stays empty).
QString withTrailingSlash(const QString& folder);

}  // namespace platform

namespace platform {

// The folder of the data installed with the program (the demo knowledge base in demo/, the
// help in help/), found from the program's own folder; empty when the program runs from a
// build tree, where no such folder lies beside it.
QString installedDataDir();

}  // namespace platform
