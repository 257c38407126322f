#pragma once

#include <QString>

namespace vkb {

struct CompileResult {
    int species = 0;
    int questions = 0;
    int states = 0;
    int layers = 0;
    bool sourceFault = false;  // the error is the source's ("file:line: message")
};

// Compiles the source in folder `source` into a runtime knowledge base in `out`. The
// database is written last, so that a failed build never leaves a base the program would
// take for complete.
bool compileSource(const QString& source, const QString& out, bool pagePictures, QString& error,
                   CompileResult& result);

}  // namespace vkb
