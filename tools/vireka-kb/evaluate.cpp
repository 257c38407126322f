#include "authoring/evaluation/evaluationreport.h"
#include "authoring/evaluation/keymatrix.h"
#include "checkedbase.h"
#include "commandregistry.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace vkb {

namespace {

const char* kHelp =
    "usage: vireka-kb evaluate KB_DIR [--html OUT.html] [--simulate N] [--language LANG]\n\n"
    "Reports how well the knowledge base in KB_DIR identifies: the species no question\n"
    "separates, the pairs one question alone separates, the questions that separate nothing\n"
    "or are coded for few species, the pairs each question separates, and how many answers\n"
    "the program's Search needs to bring each species alone to the top when every question\n"
    "is answered with the species' first state. Two species are separated by a question when\n"
    "both are coded for it and share none of its states; a species showing none of a\n"
    "question's states, or every one of them, counts as uncoded for it.\n"
    "With more than N species (default 2000) the Search is simulated for every k-th species,\n"
    "k = ceil(species / N). With --html the report is one HTML page written to OUT.html.\n"
    "With --language, questions and states are named in that language where the base gives\n"
    "them a text in it, else in its own; nothing else changes.\n\n"
    "Exit status: 0 reported; 1 the base is unusable or the page could not be written;\n"
    "2 bad arguments.\n";

int evaluate(const QStringList& args) {
    if (args.contains(QStringLiteral("--help"))) {
        QTextStream(stdout) << kHelp;
        return 0;
    }
    QString kbDir, html, language;
    int simulate = authoring::EffortLimits{}.species;
    for (int i = 0; i < args.size(); ++i) {
        bool ok = true, bad = false;
        if (takeLanguageOption(args, &i, &language, &bad))
            ok = !bad;
        else if (args[i] == QLatin1String("--html") && i + 1 < args.size())
            html = args[++i];
        else if (args[i] == QLatin1String("--simulate") && i + 1 < args.size())
            simulate = args[++i].toInt(&ok);
        else if (!args[i].startsWith(QLatin1String("--")) && kbDir.isEmpty())
            kbDir = args[i];
        else
            ok = false;
        if (!ok || simulate < 1) {
            QTextStream(stderr) << kHelp;
            return 2;
        }
    }
    if (kbDir.isEmpty()) {
        QTextStream(stderr) << kHelp;
        return 2;
    }
    const QString command = QStringLiteral("evaluate");
    CheckedBase base;
    if (!base.open(kbDir)) return failCommand(command, base.errorString(), 1);
    if (!language.isEmpty()) base.useLanguage(language);
    const authoring::KeyMatrix matrix(base.model(), base.tables());
    authoring::Evaluation evaluation;
    evaluation.separation = authoring::analyseSeparation(matrix);
    evaluation.effort = authoring::simulateEffort(base.model(), base.tables(), matrix, {simulate});
    if (html.isEmpty()) {
        QTextStream(stdout) << authoring::evaluationText(matrix, evaluation);
        return 0;
    }
    const QString title = QStringLiteral("Evaluation of %1")
                              .arg(QFileInfo(base.installation().DataDir + "x").dir().dirName());
    QString error;
    if (!saveWholeFile(html, authoring::evaluationHtml(matrix, evaluation, title).toUtf8(), &error))
        return failCommand(command, error, 1);
    QTextStream(stdout) << html << "\n";
    return 0;
}

const Registration registration(QStringLiteral("evaluate"),
                                QStringLiteral("report the species a key cannot separate"),
                                evaluate);

}  // namespace

}  // namespace vkb
