#pragma once

#include "authoring/import/dataset.h"
#include "authoring/import/importmapper.h"
#include "authoring/import/importplan.h"

#include <QString>
#include <QStringList>

namespace authoring {

struct ImportResult {
    ImportPlan plan;
    QStringList notes;  // the reader's, the mapper's and the writers'
    QString error;
    bool datasetFault = false;  // the dataset gives nothing to ask, rather than a failed write
};

// Whether `out` can receive an import: it does not exist, or is an empty folder.
bool isFreeFolder(const QString& out);

// Writes an imported dataset into `out` (which must not exist, or be empty): the source
// under out/source/, the compiled base, the species documents and import-map.tsv. All is
// written in a folder beside `out` and renamed to it at the end, so that a failure leaves
// nothing in `out`.
bool importDataset(const Dataset& data, const ImportOptions& options, const QString& out,
                   ImportResult& result);

}  // namespace authoring
