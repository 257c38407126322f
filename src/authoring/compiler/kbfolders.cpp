#include "authoring/compiler/kbfolders.h"

#include <QDir>
#include <QSettings>

namespace authoring::kbfolders {

bool writeSetupIni(const QString& dataFolder, QString* error) {
    const QString path = QDir(dataFolder).filePath(QStringLiteral("setup.ini"));
    QFile::remove(path);
    QSettings ini(path, QSettings::IniFormat);
    ini.setValue(QStringLiteral("base"), database());
    ini.setValue(QStringLiteral("descriptors"), descriptors());
    ini.setValue(QStringLiteral("drawings"), drawings());
    ini.setValue(QStringLiteral("documents"), documents());
    ini.sync();
    if (ini.status() == QSettings::NoError) return true;
    if (error) *error = QStringLiteral("cannot write ") + path;
    return false;
}

}  // namespace authoring::kbfolders
