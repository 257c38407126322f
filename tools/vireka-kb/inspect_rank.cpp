#include "commandregistry.h"
#include "inspectsession.h"

#include <QTextStream>

namespace {

const QString Usage = QStringLiteral(
    "usage: vireka-kb rank --data DIR --base FILE [--threshold N] [--qnt FILE]\n"
    "Prints the species list as the program shows it after loading (and after opening the\n"
    "identification file), one line per listed species, then the legend.\n");

int rank(const QStringList& args) {
    if (args.contains(QLatin1String("--help"))) {
        QTextStream(stdout) << Usage;
        return 0;
    }
    vkb::InspectSession session;
    if (!session.parse(args, {"data", "base", "threshold", "qnt"}, {}))
        return vkb::InspectSession::fail("rank", session.errorString() + "\n" + Usage);
    if (!session.load() || !session.identify())
        return vkb::InspectSession::fail("rank", session.errorString());
    QTextStream out(stdout);
    for (const QString& line : session.engine().listLines()) out << line << "\n";
    out << session.engine().legend() << "\n";
    return 0;
}

const vkb::Registration registration(QStringLiteral("rank"),
                                     QStringLiteral("print the ranked species list and legend"),
                                     rank);

}  // namespace
