// What a user waits for, window side included, on large synthetic keys: from confirming an
// answer to the species list and the legend painted, and the pieces of start-up that grow
// with the key. Each figure is against one streaming pass over the same key's matrix.
#include "passbaseline.h"
#include "synthetickey.h"

#include "documents/specieslinedelegate.h"
#include "documents/specieslistmodel.h"
#include "documents/speciespanes.h"
#include "engine/engine.h"
#include "kb/datafiles.h"
#include "kb/speciestree.h"
#include "questions/questionspanel.h"

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <memory>
#include <random>

namespace {

constexpr int Chain = SyntheticKey::Chain;

const SyntheticKey& key(int species) {
    return SyntheticKey::shared(species);
}

// The panes as the main window has them: the ranked list over the engine, the legend, and
// the questions panel beside them, which shows every question with its answer.
struct ResultsPane {
    QWidget window;
    QListView* list = new QListView(&window);
    QLabel* legend = new QLabel(&window);
    questions::QuestionsPanel* panel = new questions::QuestionsPanel(&window);
    documents::SpeciesListModel model;

    explicit ResultsPane(const engine::Engine& engine)
        : model([&engine](int line) { return engine.listLine(line); }) {
        auto* column = new QVBoxLayout(&window);
        column->addWidget(list);
        column->addWidget(legend);
        column->addWidget(panel);
        panel->setTexts("filter", "forget", "others");
        documents::showSpeciesList(list, &model);
        window.resize(420, 720);
        list->viewport()->installEventFilter(&listPaints);
        window.show();
        QApplication::processEvents();
    }
    // What the window does with a refresh, then what the event loop does with it: the views'
    // delayed layouts and the paint of every region marked dirty, until the list is painted.
    void show(const engine::Engine& engine) {
        model.reset(engine.listedCount());
        legend->setText(engine.legend());
        legend->setToolTip(engine.legend());
        panel->followAnswers(engine.tables(), engine.state());
        const int before = listPaints.count;
        while (listPaints.count == before) QApplication::processEvents();
    }

    // Counts the paints of the list, so that the loop above ends when the screen is made.
    struct PaintCount : QObject {
        int count = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) ++count;
            return false;
        }
    } listPaints;
};

// One answer confirmed among fifty: the answer path clears what depended on the old answer,
// the ranking is made again, and the list, the legend and the questions panel are painted.
// With lines seen (0) the list's painter has laid out the lines on screen before, as when an
// answer is changed back and forth; with lines new (1) it forgets them before each answer,
// so every line painted is shaped anew, as when the ranking brings up species not yet seen.
void AnswerToScreen(benchmark::State& state) {
    const SyntheticKey& k = key(int(state.range(0)));
    const bool newLines = state.range(1) == 1;
    SilentDialogs dialogs;
    engine::Engine engine = k.makeEngine(dialogs);
    k.answerRandomly(engine, 50);
    engine.Actualise_Identification();
    ResultsPane pane(engine);
    pane.show(engine);
    const QString question = k.tables.objects[size_t(Chain)].key;  // heads a chain
    auto* painter = qobject_cast<documents::SpeciesLineDelegate*>(pane.list->itemDelegate());
    if (!painter) return state.SkipWithError("the list is not painted by its own delegate");
    int flip = 0;
    PassBaseline::measure(
        state, 5, [&] { return k.streamingPass(); },
        [&] {
            if (newLines) painter->forgetShapes();
            engine.openQuestion(question);
            engine.question().SelectedChoice = flip++ % 2;
            engine.Valid_Descripteur();
            engine.Actualise_Identification();
            pane.show(engine);
        });
    state.counters["listed"] = engine.listedCount();
}
BENCHMARK(AnswerToScreen)
    ->ArgNames({"species", "new_lines"})
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Args({30000, 0})
    ->Args({30000, 1})
    ->Iterations(40)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The species tree as start-up builds it: families, species under them and under "Espèces",
// and three common names per species, names arriving sorted (0) or in no order (1).
void StartupSpeciesTree(benchmark::State& state) {
    const int species = int(state.range(0));
    const SyntheticKey& k = key(species);
    std::vector<int> order(static_cast<size_t>(species));
    for (int i = 0; i < species; ++i) order[size_t(i)] = i;
    std::vector<QString> names = k.model.SpeciesName;
    if (state.range(1) == 0) std::sort(names.begin(), names.end());
    const QString page = QStringLiteral("page"), book = QStringLiteral("livre_ferme");
    PassBaseline::measure(
        state, 1, [&] { return k.streamingPass(); },
        [&] {
            kb::SpeciesTree tree;
            tree.addRoot(QStringLiteral("Familles"), QStringLiteral("Families"), book, {});
            tree.addRoot(QStringLiteral("Especes"), QStringLiteral("Species"), book, {});
            tree.addRoot(QStringLiteral("Communs"), QStringLiteral("Common names"), book, {});
            tree.add(QStringLiteral("Communs"), QStringLiteral("SEnglish"), "English", book, {});
            for (int i = 0; i < species; ++i) {
                const QString family = QStringLiteral("FAMILY%1").arg(i % 120);
                const QString code = QStringLiteral("C%1").arg(i, 5, 36, QLatin1Char('0'));
                tree.add(QStringLiteral("Familles"), family, family, book, QStringLiteral("Fam"));
                tree.add(family, code, names[size_t(i)], page, QStringLiteral("Esp"));
                tree.add(QStringLiteral("Especes"), code + QLatin1Char('S'), names[size_t(i)], page,
                         QStringLiteral("Esp"));
                const QString common = QStringLiteral("Common ") + names[size_t(i)];
                tree.add(QStringLiteral("SEnglish"), common, common, book, QStringLiteral("Com"));
                tree.add(common, code + common, names[size_t(i)], page, QStringLiteral("Csp"));
            }
            benchmark::DoNotOptimize(tree.node(0).children.size());
        });
    state.counters["nodes"] = 4 + 5 * species;
}
BENCHMARK(StartupSpeciesTree)
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Args({30000, 0})
    ->Args({30000, 1})
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The tree shown and painted for the first time, and the species list before any ranking.
void StartupTreeAndListShown(benchmark::State& state) {
    const int species = int(state.range(0));
    const SyntheticKey& k = key(species);
    kb::SpeciesTree tree;
    tree.addRoot(QStringLiteral("Especes"), QStringLiteral("Species"), "livre_ferme", {});
    for (int i = 0; i < species; ++i)
        tree.add(QStringLiteral("Especes"), QStringLiteral("C%1").arg(i),
                 k.model.SpeciesName[size_t(i)], "page", "Esp");
    QWidget window;
    auto* view = new QTreeView(&window);
    view->setHeaderHidden(true);
    auto* list = new QListView(&window);
    documents::SpeciesListModel lines(
        [&k](int line) { return QStringLiteral("100% - ") + k.model.SpeciesName[size_t(line)]; });
    documents::showSpeciesList(list, &lines);
    window.resize(420, 720);
    view->resize(420, 360);
    list->setGeometry(0, 360, 420, 360);
    window.show();
    QApplication::processEvents();
    PassBaseline::measure(
        state, 1, [&] { return k.streamingPass(); },
        [&] {
            documents::showSpeciesTree(view, tree);
            view->expand(view->model()->index(0, 0));
            view->viewport()->repaint();
            lines.reset(species);
            list->viewport()->repaint();
        });
}
BENCHMARK(StartupTreeAndListShown)
    ->Arg(10000)
    ->Arg(30000)
    ->Iterations(7)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// MATRICE.DAT opened from a file of the key's size: mapped (1) or read into memory (0), then
// one column per state summed, as the first search touches them.
void StartupMatrixFile(benchmark::State& state) {
    const int species = int(state.range(0));
    const SyntheticKey& k = key(species);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("MATRICE.DAT"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) return state.SkipWithError("cannot write the file");
        f.write(reinterpret_cast<const char*>(k.model.Matrix.data()),
                qint64(k.model.Matrix.size()) * 2);
    }
    const size_t count = k.model.Matrix.size();
    const bool mapped = state.range(1) == 1;
    PassBaseline::measure(
        state, 1, [&] { return k.streamingPass(); },
        [&] {
            kb::DataValues values;
            QString detail;
            if (mapped) {
                kb::DataFiles::map(path, count, values, &detail);
            } else {
                std::vector<platform::i16> read;
                kb::DataFiles::read(path, count, read, &detail);
                values.adopt(std::move(read));
            }
            std::int64_t sum = 0;
            for (size_t i = 0; i < values.size(); ++i) sum += values[i];
            benchmark::DoNotOptimize(sum);
        });
}
BENCHMARK(StartupMatrixFile)
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Args({30000, 0})
    ->Args({30000, 1})
    ->Iterations(7)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
