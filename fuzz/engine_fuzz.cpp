// Loads a fuzzed knowledge base (database, data files and palette picture, as kb_fuzz), and
// when it loads, plays the fifth part of the input as a session on it: questions opened,
// choices confirmed, refreshes, searches, skips and contradictions shown, in any order.
#include "engine/engine.h"
#include "engine/keytables.h"
#include "fuzzinput.h"
#include "platform/dialogs.h"

namespace {

// Answers every question with its first button and cancels every file dialog.
class YesDialogs : public platform::Dialogs {
public:
    using platform::Dialogs::ask;
    Answer ask(const Message&) override { return Answer::Yes; }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString folderName(const QString&, const QString&) override { return {}; }
    bool printSetup(QPrinter&, const QString&) override { return false; }
};

void play(engine::Engine& e, const QByteArray& script) {
    const auto& objects = e.tables().objects;
    for (qsizetype i = 0; i + 1 < script.size(); i += 2) {
        const int op = quint8(script[i]) % 8, arg = quint8(script[i + 1]);
        switch (op) {
            case 0:
                if (!objects.empty()) e.openQuestion(objects[size_t(arg) % objects.size()].key);
                break;
            case 1:
                if (e.question().ObjectStateCount > 0)
                    e.question().SelectedChoice = arg % e.question().ObjectStateCount;
                e.Valid_Descripteur();
                break;
            case 2:
                e.Actualise_Identification();
                break;
            case 3:
                e.Cherche_Discriminant();
                break;
            case 4:
                e.skipQuestion();
                break;
            case 5:
                e.Affiche_Contradictions(arg % (e.listedCount() + 1) - 1);
                break;
            case 6:
                e.dropOverlays();
                break;
            default:
                e.Nettoye();
                break;
        }
    }
    (void)e.listLines();
    (void)e.discriminantScores();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::ensureApplication("engine_fuzz");
    const QList<QByteArray> parts = fuzz::splitInput(data, size, 5);
    kb::Model model;
    QString dataDir;
    if (!fuzz::loadFuzzedBase(parts, model, &dataDir).ok()) return 0;
    YesDialogs dialogs;
    engine::EngineSettings settings;
    settings.DataDir = dataDir;
    settings.DrawingDir = dataDir;
    engine::Engine e(
        model, engine::KeyTables::fromModel(model), dialogs,
        [](int) { return std::optional<QString>(QStringLiteral("text")); }, settings);
    e.Nettoye();
    e.Actualise_Identification();
    play(e, parts[4]);
    return 0;
}
