#include "authoring/evaluation/dichotomouskey.h"
#include "authoring/evaluation/keymatrix.h"
#include "authoring/evaluation/keywriter.h"
#include "checkedbase.h"
#include "commandregistry.h"

#include <QDate>
#include <QTextStream>
#include <cmath>

namespace vkb {

namespace {

const char* kHelp =
    "usage: vireka-kb key KB_DIR OUT [--format html|text|pdf] [--date YYYY-MM-DD]\n"
    "                    [--language LANG]\n\n"
    "Writes a bracketed dichotomous key to the species of the knowledge base in KB_DIR,\n"
    "generated from its matrix: each couplet asks one question and splits the remaining\n"
    "species into two leads, chosen for the weight of the question's states, the share of\n"
    "the species coded for it and the evenness of the split; questions the search may\n"
    "propose come first. A species uncoded for a couplet's question goes down both leads;\n"
    "species no question separates end together, with a note. The format is taken from\n"
    "--format, else from OUT's extension (.html, .txt, .pdf). The date printed is --date, or\n"
    "today's; the same base and date give the same file byte for byte. With --language, the\n"
    "title, questions and states are in that language where the base gives them a text in\n"
    "it, else in its own; the couplets never change with it.\n\n"
    "Exit status: 0 written; 1 the base is unusable or OUT could not be written; 2 bad\n"
    "arguments.\n";

QString baseTitle(kb::Model& model) {
    kb::Table t = model.KnowledgeBase.openTable(QStringLiteral("Parametres"));
    for (t.moveFirst(); t.isValid() && !t.eof(); t.moveNext()) {
        if (t.field(QStringLiteral("Parametre"))
                .toString()
                .compare(QLatin1String("Titre"), Qt::CaseInsensitive) == 0)
            return t.field(QStringLiteral("Etat")).toString().trimmed();
    }
    return {};
}

int keyCommand(const QStringList& args) {
    if (args.contains(QStringLiteral("--help"))) {
        QTextStream(stdout) << kHelp;
        return 0;
    }
    QStringList positional;
    QString format, language, date = QDate::currentDate().toString(Qt::ISODate);
    bool ok = true, bad = false;
    for (int i = 0; i < args.size() && ok; ++i) {
        if (takeLanguageOption(args, &i, &language, &bad))
            ok = !bad;
        else if (args[i] == QLatin1String("--format") && i + 1 < args.size())
            format = args[++i];
        else if (args[i] == QLatin1String("--date") && i + 1 < args.size())
            date = args[++i];
        else if (args[i].startsWith(QLatin1String("--")))
            ok = false;
        else
            positional << args[i];
    }
    if (format.isEmpty() && positional.size() == 2) {
        const QString out = positional[1].toLower();
        format = out.endsWith(QLatin1String(".pdf"))   ? "pdf"
                 : out.endsWith(QLatin1String(".txt")) ? "text"
                                                       : "html";
    }
    if (!ok || positional.size() != 2 || !QStringList{"html", "text", "pdf"}.contains(format) ||
        !QDate::fromString(date, Qt::ISODate).isValid()) {
        QTextStream(stderr) << kHelp;
        return 2;
    }
    const QString command = QStringLiteral("key");
    CheckedBase base;
    if (!base.open(positional[0])) return failCommand(command, base.errorString(), 1);
    if (!language.isEmpty()) base.useLanguage(language);
    const authoring::KeyMatrix matrix(base.model(), base.tables());
    const authoring::DichotomousKey key = authoring::buildDichotomousKey(matrix);
    QString title = base.baseText(kb::BaseTexts::Kind::Title, QString(), baseTitle(base.model()));
    title = title.isEmpty() ? QStringLiteral("Key to the species")
                            : QStringLiteral("Key to the species: %1").arg(title);
    const authoring::KeyHeading heading{title, date};
    QByteArray bytes;
    if (format == QLatin1String("text"))
        bytes = authoring::keyText(matrix, key, heading).toUtf8();
    else if (format == QLatin1String("html"))
        bytes = authoring::keyHtml(matrix, key, heading).toUtf8();
    else
        bytes = authoring::keyPdf(matrix, key, heading);
    QString error;
    if (bytes.isEmpty() || !saveWholeFile(positional[1], bytes, &error))
        return failCommand(command,
                           error.isEmpty() ? QStringLiteral("cannot write the key") : error, 1);
    QTextStream(stdout) << QStringLiteral(
                               "%1: %2 species, %3 couplets, path length mean %4, "
                               "longest %5, log2(species) %6\n")
                               .arg(positional[1])
                               .arg(key.species)
                               .arg(key.couplets.size())
                               .arg(key.meanPath, 0, 'f', 2)
                               .arg(key.maxPath)
                               .arg(key.species > 0 ? std::log2(double(key.species)) : 0.0, 0, 'f',
                                    2);
    return 0;
}

const Registration registration(QStringLiteral("key"),
                                QStringLiteral("write a dichotomous key generated from the matrix"),
                                keyCommand);

}  // namespace

}  // namespace vkb
