#pragma once

#include <QString>

namespace authoring {

struct CompileResult {
    int species = 0;
    int questions = 0;
    int states = 0;
    int layers = 0;
    bool sourceFault = false;  // the error is the source's ("file:line: message")
};

enum class CompileOutput {
    Staged,  // into a new folder beside OUT, swapped in whole once complete
    InPlace  // straight into OUT, for a caller that stages the whole folder itself
};

enum class SpeciesPages {
    Written,      // the species documents are written from the source
    LeftToCaller  // an importer writes its own, from the dataset: none is written here
};

// Compiles the source in folder `source` into a runtime knowledge base in `out`, which must
// be missing, empty or an earlier base. The base is written in a new folder beside `out` and
// replaces it whole once complete, so a failed build leaves `out` as it was.
bool compileSource(const QString& source, const QString& out, bool pagePictures, QString& error,
                   CompileResult& result, CompileOutput output = CompileOutput::Staged,
                   SpeciesPages speciesPages = SpeciesPages::Written);

}  // namespace authoring
