#include "commandregistry.h"
#include "inspectsession.h"

#include <QTextStream>

namespace {

const QString Usage = QStringLiteral(
    "usage: vireka-kb best --data DIR --base FILE [--threshold N] [--qnt FILE | --qnt-list FILE]\n"
    "       [--measure KEY=VALUE]...\n"
    "                      [--scores] [--language LANG]\n"
    "Prints the key of the question Search would propose, or its message when one species\n"
    "leads alone or no question is left; with --scores, then each question's key and score\n"
    "in key order. With --qnt-list, for each identification file the list names (one path a\n"
    "line): \"== PATH\", then what is printed for it, or \"error: MESSAGE\". With --language\n"
    "(en, es, fr, ...), the key is followed by a tab and the question in that language where\n"
    "the base has it, and the messages are in that language.\n");

void print(vkb::InspectSession& session, QTextStream& out) {
    engine::Engine& engine = session.engine();
    const std::vector<double> scores = engine.discriminantScores();
    // The program's Search: one species at the top ends it before any question is scored.
    switch (engine.Maitre_Discriminant()) {
        case engine::SearchOutcome::QuestionOpened:
            out << engine.question().CurrentObject;
            // In a language asked for, the question as a person reads it follows its key.
            if (session.has(QStringLiteral("language")))
                out << '\t' << engine.question().ObjectTipText;
            out << "\n";
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
    return vkb::InspectSession::run(QStringLiteral("best"), args, {QStringLiteral("scores")}, Usage,
                                    print);
}

const vkb::Registration registration(QStringLiteral("best"),
                                     QStringLiteral("print the question the search proposes"),
                                     best);

}  // namespace
