// Feeds arbitrary bytes to the SDD reader as one XML file. A file that reads is mapped to a
// plan and written as a source, which must then parse and check (importsourcecheck.h).
#include "authoring/import/sddreader.h"
#include "importsourcecheck.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::ensureApplication("sdd_fuzz");
    static QTemporaryDir root;
    static const QString file = root.filePath(QStringLiteral("dataset.sdd.xml"));
    fuzz::writeFile(file, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    authoring::Dataset read;
    authoring::SddReader reader;
    if (!reader.read(file, read)) {
        if (!reader.errorString().startsWith(file + QLatin1Char(':'))) std::abort();
        return 0;
    }
    fuzz::importedSourceChecks(read, root.filePath(QStringLiteral("source")));
    return 0;
}
