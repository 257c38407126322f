#include "commandregistry.h"
#include "documentwriter.h"
#include "drawingcompiler.h"
#include "kbfolders.h"
#include "picturewriter.h"
#include "platerenderer.h"
#include "sourcechecker.h"
#include "sourceparser.h"
#include "tablecompiler.h"

#include <QDir>
#include <QTextStream>

namespace vkb {

namespace {

const char* kHelp =
    "usage: vireka-kb build SOURCE OUT [--no-page-pictures]\n\n"
    "Compiles the knowledge-base source in folder SOURCE (its main file is kb.txt) into a\n"
    "runtime knowledge base in OUT: the database, POIDS.DAT, MATRICE.DAT, the palette, the\n"
    "drawings, the pictures of choices, the toolbar pictures, the documents and setup.ini.\n"
    "Errors are reported as file:line: message.\n";

// Everything but the database, which is written last so that a failed build never leaves
// a base the program would take for complete.
bool writeFiles(const KbSource& kb, const KbLayout& layout, const QDir& out, bool pages,
                QString& error) {
    const QString drawings = out.filePath(kbfolders::drawings());
    // Made even for a key without a drawing: the installer records every folder of the base.
    if (!QDir().mkpath(drawings))
        return (error = QStringLiteral("cannot create ") + drawings, false);
    DrawingCompiler figures(kb);
    if (!figures.writeFigures(drawings)) return (error = figures.errorString(), false);
    QList<QColor> colours;
    for (const PaletteEntry& e : kb.palette) colours << e.colour;
    // A key without a drawing has no palette to sample.
    if (!colours.isEmpty() &&
        !DrawingCompiler::writePalette(colours, out.filePath(kbfolders::palette()), &error))
        return false;
    PictureWriter pictures(kb);
    if (!pictures.writeChoicePictures(out.filePath(kbfolders::descriptors())) ||
        !pictures.writeButtons(out.path()) || !pictures.writeContradictionIcons(drawings))
        return (error = pictures.errorString(), false);
    const PlateRenderer plates(kb, layout, drawings);
    DocumentWriter documents(kb, layout, plates);
    if (!documents.writeSpecies(out.filePath(kbfolders::documents()), pages) ||
        !documents.writeErrorPages(out.path()))
        return (error = documents.errorString(), false);
    TableCompiler tables(kb, layout);
    if (!tables.writeDataFiles(out.path())) return (error = tables.errorString(), false);
    return kbfolders::writeSetupIni(out.path(), &error);
}

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
    KbSource kb;
    SourceParser parser;
    if (!parser.parse(positional[0], kb)) {
        err << parser.errorString() << "\n";
        return 1;
    }
    KbLayout layout;
    SourceChecker checker;
    if (!checker.check(kb, layout)) {
        err << checker.errorString() << "\n";
        return 1;
    }
    const QDir out(positional[1]);
    QString error;
    if (!QDir().mkpath(out.path())) error = QStringLiteral("cannot create ") + out.path();
    TableCompiler tables(kb, layout);
    if (error.isEmpty() && writeFiles(kb, layout, out, pages, error) &&
        !tables.writeDatabase(out.filePath(kbfolders::database())))
        error = tables.errorString();
    if (!error.isEmpty()) {
        err << "vireka-kb build: " << error << "\n";
        return 1;
    }
    QTextStream(stdout) << QStringLiteral("%1: %2 species, %3 questions, %4 states, %5 layers\n")
                               .arg(out.path())
                               .arg(kb.species.size())
                               .arg(kb.questions.size())
                               .arg(layout.stateCount)
                               .arg(kb.layers.size());
    return 0;
}

const Registration registration(
    QStringLiteral("build"), QStringLiteral("compile a knowledge-base source into a runtime base"),
    build);

}  // namespace

}  // namespace vkb
