#include "authoring/compiler/compiler.h"

#include "authoring/compiler/documentwriter.h"
#include "authoring/compiler/drawingcompiler.h"
#include "authoring/compiler/kbfolders.h"
#include "authoring/compiler/picturewriter.h"
#include "authoring/compiler/platerenderer.h"
#include "authoring/compiler/sourcechecker.h"
#include "authoring/compiler/sourceparser.h"
#include "authoring/compiler/tablecompiler.h"
#include "platform/stagedoutput.h"

#include <QDir>

namespace authoring {

namespace {

// Everything but the database, which is written last so that a failed build never leaves
// a base the program would take for complete.
bool writeFiles(const KbSource& kb, const KbLayout& layout, const QDir& out, bool pages,
                SpeciesPages speciesPages, QString& error) {
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
    if ((speciesPages == SpeciesPages::Written &&
         !documents.writeSpecies(out.filePath(kbfolders::documents()), pages)) ||
        !documents.writeErrorPages(out.path()))
        return (error = documents.errorString(), false);
    TableCompiler tables(kb, layout);
    if (!tables.writeDataFiles(out.path())) return (error = tables.errorString(), false);
    return kbfolders::writeSetupIni(out.path(), &error);
}

}  // namespace

bool compileSource(const QString& source, const QString& outFolder, bool pages, QString& error,
                   CompileResult& result, CompileOutput output, SpeciesPages speciesPages) {
    KbSource kb;
    SourceParser parser;
    result.sourceFault = true;
    if (!parser.parse(source, kb)) return (error = parser.errorString(), false);
    KbLayout layout;
    SourceChecker checker;
    if (!checker.check(kb, layout)) return (error = checker.errorString(), false);
    result.sourceFault = false;
    // Written beside OUT and swapped in whole: a failed or killed build leaves the old base.
    platform::StagedOutput staged;
    if (output == CompileOutput::Staged) {
        if (!staged.begin(outFolder, kbfolders::database(), &error)) return false;
    } else if (!QDir().mkpath(outFolder)) {
        return (error = QStringLiteral("cannot create ") + outFolder, false);
    }
    const QDir out(output == CompileOutput::Staged ? staged.path() : outFolder);
    TableCompiler tables(kb, layout);
    if (!writeFiles(kb, layout, out, pages, speciesPages, error)) return false;
    if (!tables.writeDatabase(out.filePath(kbfolders::database())))
        return (error = tables.errorString(), false);
    if (output == CompileOutput::Staged && !staged.commit(&error)) return false;
    result.species = int(kb.species.size());
    result.questions = int(kb.questions.size());
    result.states = layout.stateCount;
    result.layers = int(kb.layers.size());
    return true;
}

}  // namespace authoring
