#include "authoring/importer.h"

#include "authoring/compiler.h"
#include "authoring/importdocuments.h"
#include "authoring/kbfolders.h"
#include "authoring/sourcewriter.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

namespace authoring {

namespace {

bool writeText(const QString& path, const QString& text) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0 && file.commit();
}

bool writeAll(const Dataset& data, ImportResult& result, const QString& folder) {
    const QString source = folder + QStringLiteral("/source");
    SourceWriter writer;
    if (!writer.write(result.plan, data.origin, source))
        return (result.error = writer.errorString(), false);
    result.notes += writer.notes();
    vkb::CompileResult done;
    // The whole import folder is staged by the caller, source included.
    if (!vkb::compileSource(source, folder, false, result.error, done, vkb::CompileOutput::InPlace))
        return false;
    ImportDocuments documents(data, result.plan);
    if (!documents.writeSpecies(folder + QLatin1Char('/') + vkb::kbfolders::documents()))
        return (result.error = documents.errorString(), false);
    result.notes += documents.notes();
    if (!writeText(folder + QStringLiteral("/import-map.tsv"), ImportDocuments::map(result.plan)))
        return (result.error = QStringLiteral("cannot write import-map.tsv"), false);
    return true;
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
    const QFileInfo target(out);
    if (!isFreeFolder(out))
        return (result.error = out + QStringLiteral(" exists and is not an empty folder"), false);
    QDir().mkpath(target.absolutePath());
    QTemporaryDir work(target.absolutePath() + QStringLiteral("/.vireka-import-XXXXXX"));
    if (!work.isValid())
        return (result.error = QStringLiteral("cannot create a folder beside ") + out, false);
    if (!writeAll(data, result, work.path())) return false;
    if (target.exists()) QDir().rmdir(out);
    if (!QDir().rename(work.path(), out))
        return (result.error = QStringLiteral("cannot create ") + out, false);
    work.setAutoRemove(false);
    return true;
}

}  // namespace authoring
