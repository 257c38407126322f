#pragma once

#include <QString>

namespace platform {

// Knowledge bases are written on a case-insensitive file system with "\" as a separator.
// toLocalPath turns such a path into one that opens here: separators become "/", and each
// component that does not exist as written is matched case-insensitively against the
// directory on disk. A component that matches nothing is kept as written.
QString toLocalPath(const QString& path);

// The local path of a file a knowledge base names relative to one of its folders, or an
// empty text when the name leaves that folder: an absolute name, ".." past the folder, or a
// symbolic link that points outside it. Separators of either kind are accepted and names
// are matched as toLocalPath matches them. Callers treat an empty result as a missing file.
QString resolveInside(const QString& folder, const QString& name);

// Whether path, made by appending a name a knowledge base holds to folder, still names a
// file inside folder (as resolveInside decides). A name that leaves it is a missing file.
bool staysInside(const QString& folder, const QString& path);

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
