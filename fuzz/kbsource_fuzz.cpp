// Feeds arbitrary bytes to the knowledge-base compiler as a source folder: kb.txt and two
// files it may include (a.txt, b.txt), split at "\xff\xfe\xfd" (fuzzinput.h). A source that
// parses and checks is compiled into a temporary folder: the database, the data files, the
// drawings and the palette. Nothing may ever be written outside that folder.
#include "authoring/compiler/drawingcompiler.h"
#include "authoring/compiler/sourcechecker.h"
#include "authoring/compiler/sourceparser.h"
#include "authoring/compiler/tablecompiler.h"
#include "fuzzinput.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>

namespace {

int entriesOf(const QString& folder) {
    return int(
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::ensureApplication("kbsource_fuzz");
    static QTemporaryDir root;
    static const QString source = root.filePath(QStringLiteral("source"));
    static const QString out = root.filePath(QStringLiteral("a/b/out"));
    static const bool made = QDir().mkpath(source) && QDir().mkpath(out);
    if (!made) std::abort();
    const QList<QByteArray> parts = fuzz::splitInput(data, size, 3);
    fuzz::writeFile(QDir(source).filePath(QStringLiteral("kb.txt")), parts[0]);
    fuzz::writeFile(QDir(source).filePath(QStringLiteral("a.txt")), parts[1]);
    fuzz::writeFile(QDir(source).filePath(QStringLiteral("b.txt")), parts[2]);

    authoring::KbSource kb;
    authoring::SourceParser parser;
    if (!parser.parse(source, kb)) return 0;
    authoring::KbLayout layout;
    authoring::SourceChecker checker;
    if (!checker.check(kb, layout)) return 0;
    QDir(out).removeRecursively();
    QDir().mkpath(out);
    authoring::TableCompiler tables(kb, layout);
    tables.writeDatabase(QDir(out).filePath(QStringLiteral("vireka.db")));
    tables.writeDataFiles(out);
    authoring::DrawingCompiler figures(kb);
    figures.writeFigures(QDir(out).filePath(QStringLiteral("drawings")));
    QList<QColor> colours;
    for (const authoring::PaletteEntry& e : kb.palette) colours << e.colour;
    QString error;
    authoring::DrawingCompiler::writePalette(
        colours, QDir(out).filePath(QStringLiteral("couleur.wmf")), &error);
    // Only the source and the output folder: a file anywhere else was written outside.
    if (entriesOf(root.path()) != 2 || entriesOf(root.filePath(QStringLiteral("a"))) != 1 ||
        entriesOf(root.filePath(QStringLiteral("a/b"))) != 1 || entriesOf(source) != 3)
        std::abort();
    return 0;
}
