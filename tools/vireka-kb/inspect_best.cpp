#include "commandregistry.h"
#include "inspectsession.h"

#include <QTextStream>

namespace {

const QString Usage = QStringLiteral(
    "usage: vireka-kb best --data DIR --base FILE [--threshold N] [--qnt FILE | --qnt-list FILE]\n"
    "                      [--scores]\n"
    "Prints the key of the question Search would propose, or its message when one species\n"
    "leads alone or no question is left; with --scores, then each question's key and score\n"
    "in key order. With --qnt-list, for each identification file the list names (one path a\n"
    "line): \"== PATH\", then what is printed for it, or \"error: MESSAGE\".\n");

void print(vkb::InspectSession& session, QTextStream& out) {
    engine::Engine& engine = session.engine();
    const std::vector<double> scores = engine.discriminantScores();
    // The program's Search: one species at the top ends it before any question is scored.
    switch (engine.Maitre_Discriminant()) {
        case engine::SearchOutcome::QuestionOpened:
            out << engine.question().CurrentObject << "\n";
            break;
        case engine::SearchOutcome::OnlyOneSpecies:
            out << session.text(1078).value_or(QString()) << "\n";
            break;
        default:
            out << session.text(1075).value_or(QString()) << "\n";
            break;
    }
    if (session.has(QStringLiteral("scores"))) {
        const auto& objects = engine.tables().objects;
        for (size_t r = 0; r < objects.size(); ++r)
            out << objects[r].key << '\t' << QString::number(scores[r], 'f', 4) << "\n";
    }
}

int best(const QStringList& args) {
    if (args.contains(QLatin1String("--help"))) {
        QTextStream(stdout) << Usage;
        return 0;
    }
    vkb::InspectSession session;
    if (!session.parse(args, {"data", "base", "threshold", "qnt", "qnt-list"}, {"scores"}))
        return vkb::InspectSession::fail("best", session.errorString() + "\n" + Usage);
    QTextStream out(stdout);
    if (session.hasBatch()) {
        if (!session.load() ||
            !session.identifyEach(
                [&](const QString& path) { print(session, out << "== " << path << "\n"); },
                [&](const QString& path, const QString& error) {
                    out << "== " << path << "\nerror: " << error << "\n";
                }))
            return vkb::InspectSession::fail("best", session.errorString());
        return 0;
    }
    if (!session.load() || !session.identify())
        return vkb::InspectSession::fail("best", session.errorString());
    print(session, out);
    return 0;
}

const vkb::Registration registration(QStringLiteral("best"),
                                     QStringLiteral("print the question the search proposes"),
                                     best);

}  // namespace
