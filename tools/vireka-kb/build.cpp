#include "authoring/compiler/compiler.h"
#include "commandregistry.h"

#include <QDir>
#include <QTextStream>

namespace vkb {
using namespace authoring;  // the compiler's names

namespace {

const char* kHelp =
    "usage: vireka-kb build SOURCE OUT [--no-page-pictures]\n\n"
    "Compiles the knowledge-base source in folder SOURCE (its main file is kb.txt) into a\n"
    "runtime knowledge base in OUT: the database, POIDS.DAT, MATRICE.DAT, the palette, the\n"
    "drawings, the pictures of choices, the toolbar pictures, the documents and setup.ini.\n"
    "The base is built in a new folder beside OUT and replaces OUT whole once complete, so\n"
    "OUT must be missing, empty or an earlier build. Errors are reported as file:line: message.\n";

int build(const QStringList& args) {
    QTextStream err(stderr);
    QStringList positional = args;
    const bool pages = !positional.removeAll(QStringLiteral("--no-page-pictures"));
    if (positional.contains(QStringLiteral("--help")) || positional.size() != 2) {
        const bool asked = positional.contains(QStringLiteral("--help"));
        QTextStream out(asked ? stdout : stderr);
        out << kHelp;
        return asked ? 0 : 2;
    }
    QString error;
    CompileResult done;
    if (!compileSource(positional[0], positional[1], pages, error, done)) {
        err << (done.sourceFault ? QString() : QStringLiteral("vireka-kb build: ")) << error
            << "\n";
        return 1;
    }
    QTextStream(stdout) << QStringLiteral("%1: %2 species, %3 questions, %4 states, %5 layers\n")
                               .arg(QDir(positional[1]).path())
                               .arg(done.species)
                               .arg(done.questions)
                               .arg(done.states)
                               .arg(done.layers);
    return 0;
}

const Registration registration(
    QStringLiteral("build"), QStringLiteral("compile a knowledge-base source into a runtime base"),
    build);

}  // namespace

}  // namespace vkb
