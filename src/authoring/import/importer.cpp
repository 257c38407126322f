#include "authoring/import/importer.h"

#include "authoring/compiler/compiler.h"
#include "authoring/compiler/kbfolders.h"
#include "authoring/import/importdocuments.h"
#include "authoring/import/sourcewriter.h"
#include "platform/stagedfile.h"
#include "platform/stagedoutput.h"

#include <QDir>
#include <QFileInfo>

namespace authoring {

namespace {

bool writeAll(const Dataset& data, ImportResult& result, const QString& folder) {
    const QString source = folder + QStringLiteral("/source");
    SourceWriter writer;
    if (!writer.write(result.plan, data.origin, source))
        return (result.error = writer.errorString(), false);
    result.notes += writer.notes();
    authoring::CompileResult done;
    // The whole import folder is staged by the caller, source included. The species pages
    // are the dataset's own, written below: the source's would only be written over.
    if (!authoring::compileSource(source, folder, false, result.error, done,
                                  authoring::CompileOutput::InPlace,
                                  authoring::SpeciesPages::LeftToCaller))
        return false;
    ImportDocuments documents(data, result.plan);
    if (!documents.writeSpecies(folder + QLatin1Char('/') + authoring::kbfolders::documents()))
        return (result.error = documents.errorString(), false);
    result.notes += documents.notes();
    return platform::writeStagedFile(folder + QStringLiteral("/import-map.tsv"),
                                     ImportDocuments::map(result.plan).toUtf8(), &result.error);
}

}  // namespace

bool isFreeFolder(const QString& out) {
    const QFileInfo target(out);
    return !target.exists() ||
           (target.isDir() && QDir(out).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                QDir::Hidden | QDir::System));
}

bool importDataset(const Dataset& data, const ImportOptions& options, const QString& out,
                   ImportResult& result) {
    result.plan = ImportMapper(data, options).plan();
    result.notes = result.plan.notes;
    // A key needs a question: a dataset whose every character is left out (text only, or
    // too many states) is refused before anything is written, with the reasons.
    if (result.plan.questions.isEmpty()) {
        result.datasetFault = true;
        return (result.error =
                    data.origin + QStringLiteral(": no character can become a question; each is "
                                                 "left out"),
                false);
    }
    if (!isFreeFolder(out))
        return (result.error = out + QStringLiteral(" exists and is not an empty folder"), false);
    // Thousands of files are written without a flush each; the folder is flushed once,
    // whole, and then takes OUT's place.
    platform::StagedOutput staged;
    return staged.begin(out, authoring::kbfolders::database(), &result.error) &&
           writeAll(data, result, staged.path()) && staged.commit(&result.error);
}

}  // namespace authoring
