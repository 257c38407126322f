#pragma once

#include "authoring/sddexport/sddsourcebase.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>

namespace authoring {

struct SddWriteOptions {
    QString language = QStringLiteral("en");  // of the base's texts
    QDateTime created;                        // the document's date, in UTC
    // Pictures of states by state number: the file's address relative to the document.
    QHash<int, QString> statePictures;
};

// The SDD 1.1 document describing the base. The same base and options give the same bytes:
// ids follow the base's keys and orders, and nothing depends on hashing or the clock.
QByteArray sddDocument(const SddSourceBase& base, const SddWriteOptions& options);

}  // namespace authoring
