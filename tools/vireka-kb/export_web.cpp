#include "authoring/evaluation/dichotomouskey.h"
#include "authoring/evaluation/keymatrix.h"
#include "authoring/evaluation/keywriter.h"
#include "authoring/webexport/webexport.h"
#include "authoring/webexport/webkeydata.h"
#include "checkedbase.h"
#include "commandregistry.h"
#include "engine/keytables.h"
#include "exportsdd.h"
#include "kb/loader.h"
#include "platform/stringtable.h"

#include <QDate>
#include <QTextStream>

namespace vkb {

namespace {

const char* kHelp =
    "usage: vireka-kb export web KB_DIR OUT\n"
    "       vireka-kb export sdd KB_DIR OUT.xml [--language xx] [--no-pictures]\n"
    "       (see 'vireka-kb export sdd --help')\n\n"
    "Writes a static web site into OUT that identifies with the knowledge base in KB_DIR (the\n"
    "folder of its database and its setup.ini) as the program does: open OUT/index.html from\n"
    "the folder or put OUT on any web server. 'node OUT/engine/cli.mjs rank|best' prints what\n"
    "'vireka-kb rank|best' prints. A base the checker finds faults in is refused with its\n"
    "findings.\n\n"
    "Exit status: 0 written; 1 the base is unusable or the site could not be written (OUT is\n"
    "then left as it was); 2 bad arguments.\n";

int fail(const QString& message, int code) {
    QTextStream(stderr) << "vireka-kb export: " << message << "\n";
    return code;
}

int exportWeb(const QString& kbDir, const QString& out) {
    QString error;
    const auto at = plannedBase(kbDir, &error);
    if (!at) return fail(error, 1);
    // The checker's faults stop the export; warnings are printed and let through.
    // The pictures it decodes are not decoded again where their bytes are copied as they are.
    QSet<QString> picturesRead;
    if (!passesCheck(*at, true, &error, &picturesRead)) {
        if (!error.isEmpty()) fail(error, 1);
        return fail(QStringLiteral("%1 is not a usable knowledge base").arg(kbDir), 1);
    }

    platform::StringTable strings;
    strings.loadBuiltIn();
    kb::Model model;
    kb::LoadOptions options;
    options.dataDir = at->DataDir;
    options.databaseName = at->Base;
    options.text = [&](int k) { return strings.text(k, 0); };
    const kb::LoadResult loaded = kb::loadKnowledgeBase(model, options);
    if (!loaded.ok()) {
        const QString message = loaded.stringId
                                    ? strings.text(loaded.stringId, 0).value_or(loaded.message)
                                    : loaded.message;
        return fail(QStringLiteral("cannot load the knowledge base: ") + message +
                        (loaded.detail.isEmpty() ? QString() : " (" + loaded.detail + ')'),
                    1);
    }
    const engine::KeyTables tables = engine::KeyTables::fromModel(model);
    authoring::WebSiteInput input;
    input.keyScript = engine::webKeyScript(
        model, tables, [&](int k, int language) { return strings.text(k, language); });
    input.source = {at->DataDir,
                    at->DrawingDir,
                    at->DescriptorDir,
                    at->DocSource == QLatin1String("hd") ? at->DocAddress : QString(),
                    &model,
                    picturesRead};
    if (input.keyScript.isEmpty())
        return fail(QStringLiteral("the matrix of %1 species and %2 states is too large for a "
                                   "web site")
                        .arg(model.SpeciesCount)
                        .arg(model.StateCount),
                    1);
    // The printable key generated from the matrix, linked from the player.
    const authoring::KeyMatrix matrix(model, tables);
    const QString title = strings.text(1831, 0).value_or(QStringLiteral("Printable key"));
    input.pages.insert(QStringLiteral("key.html"),
                       authoring::keyHtml(matrix, authoring::buildDichotomousKey(matrix),
                                          {title, QDate::currentDate().toString(Qt::ISODate)})
                           .toUtf8());
    if (!authoring::exportWebSite(input, out, &error)) return fail(error, 1);
    QTextStream(stdout) << out << ": " << model.SpeciesCount << " species, "
                        << tables.objects.size() << " questions\n";
    return 0;
}

int exportCommand(const QStringList& args) {
    if (!args.isEmpty() && args[0] == QLatin1String("sdd")) return exportSddCommand(args.mid(1));
    if (args.contains(QStringLiteral("--help"))) {
        QTextStream(stdout) << kHelp;
        return 0;
    }
    if (args.size() != 3 || args[0] != QLatin1String("web")) {
        QTextStream(stderr) << kHelp;
        return 2;
    }
    return exportWeb(args[1], args[2]);
}

const Registration registration(
    QStringLiteral("export"),
    QStringLiteral("export a knowledge base as a static web site or an SDD file"), exportCommand);

}  // namespace

}  // namespace vkb
