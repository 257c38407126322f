#include "commandregistry.h"
#include "inspectsession.h"

#include <QTextStream>

namespace {

const QString Usage = QStringLiteral(
    "usage: vireka-kb rank --data DIR --base FILE [--threshold N] [--qnt FILE | --qnt-list FILE]\n"
    "       [--measure KEY=VALUE]... [--language LANG]\n"
    "Prints the species list as the program shows it after loading (and after opening the\n"
    "identification file), one line per listed species, then the legend. With --qnt-list,\n"
    "for each identification file the list names (one path a line): \"== PATH\", then its\n"
    "list and legend, or \"error: MESSAGE\". Each --measure KEY=VALUE then answers the\n"
    "measured question KEY with the value as typed in the program. With --language (en, es,\n"
    "fr), the legend is in that language; the ranking never changes with it.\n");

void print(vkb::InspectSession& session, QTextStream& out) {
    for (const QString& line : session.engine().listLines()) out << line << "\n";
    out << session.engine().legend() << "\n";
}

int rank(const QStringList& args) {
    return vkb::InspectSession::run(QStringLiteral("rank"), args, {}, Usage, print);
}

const vkb::Registration registration(QStringLiteral("rank"),
                                     QStringLiteral("print the ranked species list and legend"),
                                     rank);

}  // namespace
