// Feeds a picture and a small DELTA dataset to the import's writers: the picture is every
// state's and every taxon's (cut to state regions, scaled, written as PNG), through the same
// bounded loader a build uses. Parts, split at "\xff\xfe\xfd" (fuzzinput.h): the picture,
// "chars", "items", "cimages". What the writers produce must be a source the compiler
// parses and checks, pictures included.
#include "authoring/compiler/sourcechecker.h"
#include "authoring/compiler/sourceparser.h"
#include "authoring/import/datasetfiles.h"
#include "authoring/import/deltareader.h"
#include "authoring/import/importdocuments.h"
#include "authoring/import/importmapper.h"
#include "authoring/import/sourcewriter.h"
#include "fuzzinput.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::ensureApplication("importwriter_fuzz");
    static QTemporaryDir root;
    static const QString dataset = root.filePath(QStringLiteral("dataset"));
    static const bool made = QDir().mkpath(dataset);
    if (!made) std::abort();
    const QList<QByteArray> parts = fuzz::splitInput(data, size, 4);
    const QString picture = QDir(dataset).filePath(QStringLiteral("picture"));
    fuzz::writeFile(picture, parts[0]);
    fuzz::writeFile(QDir(dataset).filePath(QStringLiteral("chars")), parts[1]);
    fuzz::writeFile(QDir(dataset).filePath(QStringLiteral("items")), parts[2]);
    fuzz::writeFile(QDir(dataset).filePath(QStringLiteral("cimages")), parts[3]);

    QString why;
    (void)authoring::datasetfiles::readPicture(picture, why);

    authoring::Dataset read;
    authoring::DeltaReader reader;
    if (!reader.read(dataset, read)) return 0;
    for (authoring::Item& item : read.items) item.images = {picture};
    const authoring::ImportPlan plan =
        authoring::ImportMapper(read, authoring::ImportOptions()).plan();
    if (plan.questions.isEmpty()) return 0;
    const QString source = root.filePath(QStringLiteral("source"));
    const QString documents = root.filePath(QStringLiteral("documents"));
    QDir(source).removeRecursively();
    QDir(documents).removeRecursively();
    authoring::SourceWriter writer;
    if (!writer.write(plan, read.origin, source)) {
        std::fprintf(stderr, "the source was not written: %s\n", qPrintable(writer.errorString()));
        std::abort();
    }
    authoring::ImportDocuments pages(read, plan);
    if (!pages.writeSpecies(documents)) {
        std::fprintf(stderr, "the documents were not written: %s\n",
                     qPrintable(pages.errorString()));
        std::abort();
    }
    authoring::KbSource kb;
    authoring::SourceParser parser;
    authoring::KbLayout layout;
    authoring::SourceChecker checker;
    if (!parser.parse(source, kb) || !checker.check(kb, layout)) {
        std::fprintf(stderr, "the written source is refused: %s%s\n",
                     qPrintable(parser.errorString()), qPrintable(checker.errorString()));
        std::abort();
    }
    return 0;
}
