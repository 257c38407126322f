// Feeds arbitrary bytes to the loader as a knowledge-base file, its two data files and its
// palette picture: the input is split in four at "\xff\xfe\xfd" (fuzzinput.h). The palette
// picture is rendered and sampled as at start-up.
#include "fuzzinput.h"
#include "kb/loader.h"

#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::ensureApplication("kb_fuzz");
    static QTemporaryDir dir;
    const QList<QByteArray> parts = fuzz::splitInput(data, size, 4);
    fuzz::writeFile(dir.filePath("kb.sqlite"), parts[0]);
    fuzz::writeFile(dir.filePath("POIDS.DAT"), parts[1]);
    fuzz::writeFile(dir.filePath("MATRICE.DAT"), parts[2]);
    fuzz::writeFile(dir.filePath("couleur.wmf"), parts[3]);
    kb::Model model;
    kb::LoadOptions options;
    options.dataDir = dir.path() + QLatin1Char('/');
    options.databaseName = QStringLiteral("kb.sqlite");
    options.text = [](int) { return std::optional<QString>(QStringLiteral("root")); };
    kb::loadKnowledgeBase(model, options);
    return 0;
}
