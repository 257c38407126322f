#pragma once

#include <QString>

// Names of the files and folders of a compiled knowledge base, relative to its data folder.
// The installer finds them in setup.ini.
namespace authoring::kbfolders {

inline QString database() {
    return QStringLiteral("vireka.db");
}
inline QString descriptors() {
    return QStringLiteral("choices");
}
inline QString drawings() {
    return QStringLiteral("drawings");
}
inline QString documents() {
    return QStringLiteral("documents");
}
inline QString palette() {
    return QStringLiteral("couleur.wmf");
}

// Writes setup.ini with the keys base, descriptors, drawings and documents.
bool writeSetupIni(const QString& dataFolder, QString* error);

}  // namespace authoring::kbfolders
