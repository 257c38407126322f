#include "authoring/sddexport/sddexport.h"
#include "checkedbase.h"
#include "exportsdd.h"

#include <QRegularExpression>
#include <QTextStream>

namespace vkb {

namespace {

const char* kHelp =
    "usage: vireka-kb export sdd KB_DIR OUT.xml [--language xx] [--no-pictures]\n\n"
    "Writes the knowledge base in KB_DIR as one SDD 1.1 file: its title, species with their\n"
    "families and common names, questions with their states, groups and dependencies,\n"
    "and what each species shows. The pictures of the states are cut from the pictures of\n"
    "choices into the folder OUT_media beside OUT.xml (not with --no-pictures). The texts\n"
    "are declared in language xx (default en). A base the checker finds faults in is\n"
    "refused with its findings.\n\n"
    "Exit status: 0 written; 1 the base is unusable or the file could not be written (what\n"
    "was there is left as it was); 2 bad arguments.\n";

int fail(const QString& message, int code) {
    QTextStream(stderr) << "vireka-kb export sdd: " << message << "\n";
    return code;
}

// The checker's faults stop the export (warnings are printed and let through): a file
// written from a broken base would carry its faults to every program that reads it.
bool usable(const QString& kbDir) {
    QString error;
    const auto at = plannedBase(kbDir, &error);
    if (!at) return fail(error, 1), false;
    if (passesCheck(*at, true, &error)) return true;
    if (!error.isEmpty()) fail(error, 1);
    return false;
}

}  // namespace

int exportSddCommand(const QStringList& given) {
    if (given.contains(QStringLiteral("--help"))) {
        QTextStream(stdout) << kHelp;
        return 0;
    }
    QStringList args = given;
    authoring::SddExportOptions options;
    options.pictures = !args.removeAll(QStringLiteral("--no-pictures"));
    if (const qsizetype at = args.indexOf(QStringLiteral("--language")); at >= 0) {
        static const QRegularExpression code(QStringLiteral("^[A-Za-z]{2,8}(-[A-Za-z0-9]{1,8})*$"));
        if (at + 1 >= args.size() || !code.match(args[at + 1]).hasMatch())
            return QTextStream(stderr) << kHelp, 2;
        options.language = args[at + 1];
        args.remove(at, 2);
    }
    if (args.size() != 2) return QTextStream(stderr) << kHelp, 2;
    if (!usable(args[0]))
        return fail(QStringLiteral("%1 is not a usable knowledge base").arg(args[0]), 1);
    authoring::SddExportResult result;
    QString error;
    if (!authoring::exportSdd(args[0], args[1], options, result, &error)) return fail(error, 1);
    QTextStream(stdout) << args[1] << ": " << result.taxa << " taxa, " << result.characters
                        << " characters, " << result.pictures << " pictures\n";
    return 0;
}

}  // namespace vkb
