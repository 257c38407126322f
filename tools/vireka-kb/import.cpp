#include "authoring/import/deltareader.h"
#include "authoring/import/importer.h"
#include "authoring/import/sddreader.h"
#include "authoring/import/tabledataset.h"
#include "commandregistry.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace vkb {

namespace {

const char* kHelp =
    "usage: vireka-kb import delta FOLDER OUT [--family-character N]\n"
    "       vireka-kb import sdd FILE OUT [--family-character ID] [--dataset N]\n"
    "                                     [--language xx]\n"
    "       vireka-kb import table FILE OUT [--separators CHARS]\n\n"
    "Imports a DELTA dataset (a folder with specs, chars and items, or toint) or an SDD file\n"
    "into a runnable knowledge base in OUT: the source under OUT/source/ (edit it and rebuild\n"
    "with 'vireka-kb build'), the base itself, and OUT/import-map.tsv, which gives for each\n"
    "species, question and state the dataset's identifier, the key in the base and its index.\n"
    "Taxa take their family from the character given with --family-character (multistate:\n"
    "the first state coded; text: the text), else from an SDD taxon hierarchy, else the\n"
    "dataset's title. SDD labels are read in the dataset's own language (its xml:lang), or in\n"
    "the one asked for with --language where the file has them in it. A table (.csv, .tsv,\n"
    ".ods, .xlsx) holds one row per taxon and one column per character; cells separate\n"
    "states with '|' and with each of CHARS (docs/knowledge-base.md gives the layout).\n\n"
    "Exit status: 0 imported; 1 the base could not be written; 2 bad arguments or a dataset\n"
    "that cannot be read (reported as file:line: message). Nothing is left in OUT on failure.\n";

struct Arguments {
    QString format, input, out, family, language, separators;
    int dataset = 0;
};

// Takes "NAME VALUE" out of the arguments; false when NAME has no value.
bool takeOption(QStringList& args, const QString& name, QString& value) {
    const qsizetype at = args.indexOf(name);
    if (at < 0) return true;
    if (at + 1 >= args.size()) return false;
    value = args[at + 1];
    args.remove(at, 2);
    return true;
}

bool parseArguments(QStringList args, Arguments& a) {
    QString dataset = QStringLiteral("1");
    if (!takeOption(args, QStringLiteral("--family-character"), a.family) ||
        !takeOption(args, QStringLiteral("--dataset"), dataset) ||
        !takeOption(args, QStringLiteral("--language"), a.language) ||
        !takeOption(args, QStringLiteral("--separators"), a.separators) || args.size() != 3)
        return false;
    bool ok = false;
    a.dataset = dataset.toInt(&ok) - 1;
    a.format = args[0], a.input = args[1], a.out = args[2];
    const bool table = a.format == QLatin1String("table");
    return ok && a.dataset >= 0 && (table || a.separators.isEmpty()) &&
           (a.format == QLatin1String("sdd") ||
            ((a.format == QLatin1String("delta") || table) && a.language.isEmpty()));
}

int familyIndex(const authoring::Dataset& data, const QString& id) {
    for (int c = 0; c < data.characters.size(); ++c)
        if (data.characters[c].id == id) return c;
    return -1;
}

void summary(const authoring::ImportPlan& plan, const QString& out, const QStringList& notes) {
    QTextStream s(stdout);
    int states = 0;
    for (const auto& q : plan.questions) states += int(q.states.size());
    const auto count = [](qsizetype n, const char* one, const char* many) {
        return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
    };
    s << QStringLiteral("%1: %2 species, %3, %4; %5 left out\n")
             .arg(out)
             .arg(plan.species.size())
             .arg(count(plan.questions.size(), "question", "questions"),
                  count(states, "state", "states"),
                  count(plan.leftOut.size(), "character", "characters"));
    for (const QString& l : plan.leftOut) s << "  left out: " << l << "\n";
    // Such a taxon matches every description: worth an author's look.
    for (const QString& name : plan.uncoded) s << "  codes no question: " << name << "\n";
    for (const QString& n : notes) s << "  note: " << n << "\n";
}

int import(const QStringList& args) {
    QTextStream err(stderr);
    Arguments a;
    if (args.contains(QStringLiteral("--help")) || !parseArguments(args, a)) {
        const bool asked = args.contains(QStringLiteral("--help"));
        QTextStream(asked ? stdout : stderr) << kHelp;
        return asked ? 0 : 2;
    }
    if (!authoring::isFreeFolder(a.out)) {
        err << "vireka-kb import: " << a.out << " exists and is not an empty folder\n";
        return 2;
    }
    authoring::Dataset data;
    if (a.format == QLatin1String("delta")) {
        authoring::DeltaReader reader;
        if (!reader.read(a.input, data)) return err << reader.errorString() << "\n", 2;
    } else if (a.format == QLatin1String("table")) {
        authoring::SheetReader reader;
        authoring::Sheet sheet;
        QString error;
        if (!reader.read(a.input, sheet)) return err << reader.errorString() << "\n", 2;
        if (!authoring::tableDataset(sheet, {a.separators}, data, &error))
            return err << error << "\n", 2;
    } else {
        authoring::SddReader reader;
        reader.setLanguage(a.language);
        if (!reader.read(a.input, data, a.dataset)) return err << reader.errorString() << "\n", 2;
    }
    authoring::ImportOptions options;
    if (!a.family.isEmpty() && (options.familyCharacter = familyIndex(data, a.family)) < 0) {
        err << "vireka-kb import: the dataset has no character " << a.family << "\n";
        return 2;
    }
    authoring::ImportResult result;
    if (!authoring::importDataset(data, options, a.out, result)) {
        for (const QString& l : result.plan.leftOut) err << "  left out: " << l << "\n";
        if (result.datasetFault) return err << result.error << "\n", 2;
        err << "vireka-kb import: " << result.error << "\n";
        return 1;
    }
    summary(result.plan, a.out, result.notes);
    return 0;
}

const Registration registration(
    QStringLiteral("import"),
    QStringLiteral("import a DELTA dataset, an SDD file or a table as a knowledge base"), import);

}  // namespace

}  // namespace vkb
