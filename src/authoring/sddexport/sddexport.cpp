#include "authoring/sddexport/sddexport.h"

#include "authoring/sddexport/sddstatepictures.h"
#include "authoring/sddexport/sddwriter.h"
#include "platform/safefile.h"
#include "platform/stagedfile.h"
#include "platform/stagedoutput.h"

#include <QDir>
#include <QFileInfo>

namespace authoring {

namespace {

// Marks a folder of pictures written here, so that a later export may replace it and no
// other folder is ever taken for one.
const QString kMediaMark = QStringLiteral(".vireka-sdd-media");

bool writeMedia(const QString& folder, const QList<SddStatePicture>& pictures, QString* error) {
    platform::StagedOutput staged;
    if (!staged.begin(folder, kMediaMark, error)) return false;
    if (!platform::writeStagedFile(staged.path() + QLatin1Char('/') + kMediaMark, {}, error))
        return false;
    for (const SddStatePicture& p : pictures)
        if (!platform::writeStagedFile(staged.path() + QLatin1Char('/') + p.fileName, p.png, error))
            return false;
    return staged.commit(error);
}

}  // namespace

QString sddMediaFolder(const QString& outFile) {
    const QFileInfo out(outFile);
    return out.absolutePath() + QLatin1Char('/') + out.completeBaseName() +
           QStringLiteral("_media");
}

bool exportSdd(const QString& kbDir, const QString& outFile, const SddExportOptions& options,
               SddExportResult& result, QString* error) {
    SddSourceBase base;
    if (!readSddSourceBase(kbDir, base, error)) return false;
    const QFileInfo out(outFile);
    if (out.exists() && !out.isFile())
        return (*error = outFile + QStringLiteral(" exists and is not a file"), false);
    QList<SddStatePicture> pictures;
    if (options.pictures) pictures = cutStatePictures(base);
    SddWriteOptions write;
    write.language = options.language;
    write.created = QFileInfo(base.databaseFile).lastModified().toUTC();
    const QString media = sddMediaFolder(outFile);
    const QString relative = QFileInfo(media).fileName() + QLatin1Char('/');
    for (const SddStatePicture& p : pictures)
        write.statePictures.insert(p.state, relative + p.fileName);
    const QByteArray document = sddDocument(base, write);
    if (!pictures.isEmpty() && !writeMedia(media, pictures, error)) return false;
    if (!platform::writeFileSafely(outFile, document, error)) return false;
    result.taxa = int(base.taxa.size());
    result.characters = int(base.questions.size());
    result.pictures = int(pictures.size());
    result.mediaFolder = pictures.isEmpty() ? QString() : media;
    return true;
}

}  // namespace authoring
