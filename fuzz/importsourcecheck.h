#pragma once

// Shared by the importers' fuzz targets: what a dataset that was read becomes must be a
// source the compiler accepts, whatever the dataset held.
#include "authoring/compiler/sourcechecker.h"
#include "authoring/compiler/sourceparser.h"
#include "authoring/import/importdocuments.h"
#include "authoring/import/importmapper.h"
#include "authoring/import/sourcewriter.h"
#include "fuzzinput.h"

#include <QDir>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

inline void importedSourceChecks(const authoring::Dataset& data, const QString& folder) {
    const authoring::ImportPlan plan =
        authoring::ImportMapper(data, authoring::ImportOptions()).plan();
    (void)authoring::ImportDocuments::map(plan);
    // Without a question the import refuses the dataset before writing any source.
    if (plan.questions.isEmpty()) return;
    QDir().mkpath(folder);
    writeFile(QDir(folder).filePath(QStringLiteral("kb.txt")),
              authoring::SourceWriter::text(plan, data.origin, {}).toUtf8());
    authoring::KbSource kb;
    authoring::SourceParser parser;
    authoring::KbLayout layout;
    authoring::SourceChecker checker;
    if (!parser.parse(folder, kb)) {
        std::fprintf(stderr, "the source does not parse: %s\n", qPrintable(parser.errorString()));
        std::abort();
    }
    if (!checker.check(kb, layout)) {
        std::fprintf(stderr, "the source does not check: %s\n", qPrintable(checker.errorString()));
        std::abort();
    }
}

}  // namespace fuzz
