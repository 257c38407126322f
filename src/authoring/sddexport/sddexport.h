#pragma once

#include <QString>
#include <QStringList>

namespace authoring {

struct SddExportOptions {
    QString language = QStringLiteral("en");  // of the base's texts (the dataset's xml:lang)
    bool pictures = true;                     // the states' pictures beside the file
};

struct SddExportResult {
    int taxa = 0, characters = 0, pictures = 0;
    QString mediaFolder;  // the folder of the pictures, or empty when there are none
};

// Writes the compiled base in kbDir as one SDD 1.1 file, and the pictures of its states
// (cut from the pictures of choices) into the folder OUTNAME_media beside it. Everything is
// prepared in memory first; the folder is built beside its place and swapped in, the file
// replaced whole, so a failure leaves what was there.
bool exportSdd(const QString& kbDir, const QString& outFile, const SddExportOptions& options,
               SddExportResult& result, QString* error);

// The folder of pictures that goes with an SDD file.
QString sddMediaFolder(const QString& outFile);

}  // namespace authoring
