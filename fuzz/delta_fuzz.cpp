// Feeds arbitrary bytes to the DELTA reader as a dataset folder: specs, chars, items and
// tokey, split at "\xff\xfe\xfd" (fuzzinput.h). A dataset that reads is mapped to a plan
// and written as a source, which must then parse and check: an import never writes a
// source its own compiler refuses.
#include "authoring/import/deltareader.h"
#include "importsourcecheck.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::ensureApplication("delta_fuzz");
    static QTemporaryDir root;
    static const QString dataset = root.filePath(QStringLiteral("dataset"));
    static const bool made = QDir().mkpath(dataset);
    if (!made) std::abort();
    const QList<QByteArray> parts = fuzz::splitInput(data, size, 4);
    const char* names[] = {"specs", "chars", "items", "tokey"};
    for (int i = 0; i < 4; ++i)
        fuzz::writeFile(QDir(dataset).filePath(QLatin1String(names[i])), parts[i]);
    authoring::Dataset read;
    authoring::DeltaReader reader;
    if (!reader.read(dataset, read)) {
        // A refusal always says where: "file:line: message" or "folder: message".
        if (!reader.errorString().contains(QLatin1String(": "))) std::abort();
        return 0;
    }
    fuzz::importedSourceChecks(read, root.filePath(QStringLiteral("source")));
    return 0;
}
