#include "authoring/evaluation/keymatrix.h"
#include "authoring/evaluation/speciescomparison.h"
#include "checkedbase.h"
#include "commandregistry.h"

#include <QTextStream>

namespace vkb {

namespace {

const char* kHelp =
    "usage: vireka-kb compare KB_DIR CODE CODE... [--all] [--language LANG]\n\n"
    "Compares two to five species of the knowledge base in KB_DIR, named by their codes:\n"
    "the questions where they differ, each species' states in words, marked '*' where its\n"
    "states are not those of most of them; with --all, then the questions where they agree.\n"
    "With --language, questions and states are named in that language where the base gives\n"
    "them a text in it, else in its own.\n\n"
    "Exit status: 0 compared; 1 the base is unusable or a code names no species; 2 bad\n"
    "arguments.\n";

int compare(const QStringList& args) {
    if (args.contains(QStringLiteral("--help"))) {
        QTextStream(stdout) << kHelp;
        return 0;
    }
    QStringList positional;
    QString language;
    bool all = false, ok = true;
    for (int i = 0; i < args.size(); ++i) {
        bool bad = false;
        if (takeLanguageOption(args, &i, &language, &bad))
            ok = ok && !bad;
        else if (args[i] == QLatin1String("--all"))
            all = true;
        else if (args[i].startsWith(QLatin1String("--")))
            ok = false;
        else
            positional << args[i];
    }
    const int codes = int(positional.size()) - 1;
    if (!ok || codes < authoring::MinCompared || codes > authoring::MaxCompared) {
        QTextStream(stderr) << kHelp;
        return 2;
    }
    const QString command = QStringLiteral("compare");
    CheckedBase base;
    if (!base.open(positional[0])) return failCommand(command, base.errorString(), 1);
    if (!language.isEmpty()) base.useLanguage(language);
    const authoring::KeyMatrix matrix(base.model(), base.tables());
    std::vector<int> species;
    for (int i = 1; i <= codes; ++i) {
        int found = -1;
        for (int s = 0; s < matrix.speciesCount() && found < 0; ++s)
            if (matrix.speciesCode(s).compare(positional[i], Qt::CaseInsensitive) == 0) found = s;
        if (found < 0)
            return failCommand(
                command, QStringLiteral("no species has the code '%1'").arg(positional[i]), 1);
        species.push_back(found);
    }
    const auto comparison = authoring::compareSpecies(matrix, species);
    QTextStream(stdout) << authoring::comparisonText(matrix, comparison, all);
    return 0;
}

const Registration registration(QStringLiteral("compare"),
                                QStringLiteral("compare two to five species question by question"),
                                compare);

}  // namespace

}  // namespace vkb
