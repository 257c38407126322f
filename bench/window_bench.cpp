// What a user waits for in the real main window: the program started on a synthetic key
// written by `vireka-kb synth`, all its views, the questions panel, the drawing, and (when
// asked) a document view that has shown a document. An answer is timed from the confirm key
// to the last paint of the window, waiting until no paint is pending; a Search from its
// button to the picture of choices painted. Each sample follows one streaming pass over the
// same key's matrix, so that both see the same machine and the same heap.
//
// Under valgrind (bench/window.sh) the instructions of every thread are dumped per piece:
// "pass" and "confirm" (or "search"), so that a figure survives a loaded machine.
#include "documents/documentview.h"
#include "kb/datafiles.h"
#include "kb/installation.h"
#include "platform/settings.h"
#include "qtbenchmain.h"
#include "questions/choicepicture.h"
#include "questions/questioncontroller.h"
#include "questions/questionspanel.h"
#include "shell/mainwindow.h"
#include "shell/startup.h"
#include "synthetickey.h"

#include <benchmark/benchmark.h>
#include <valgrind/callgrind.h>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <QWebEngineView>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <map>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Watches every event of the application: paints of widgets, flushes of top-level windows,
// and whether anything that leads to a paint was delivered.
class PaintWatch : public QObject {
public:
    int paints = 0, flushes = 0, screenWork = 0;
    // With VIREKA_WINDOW_PAINTS set, every painted widget is named on the standard error.
    const bool namePaints = qEnvironmentVariableIsSet("VIREKA_WINDOW_PAINTS");

    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::Paint:
                if (namePaints)
                    qInfo("paint %s %s %s", watched->metaObject()->className(),
                          qPrintable(watched->objectName()),
                          qPrintable(watched->parent() ? watched->parent()->objectName()
                                                       : QString()));
                ++paints;
                ++screenWork;
                break;
            case QEvent::UpdateRequest:
                if (auto* w = qobject_cast<QWidget*>(watched); w && w->isWindow()) ++flushes;
                ++screenWork;
                break;
            case QEvent::UpdateLater:
            case QEvent::LayoutRequest:
            case QEvent::MetaCall:
            case QEvent::Expose:
            case QEvent::Show:
            case QEvent::Hide:
            case QEvent::Resize:
                ++screenWork;
                break;
            default:
                break;
        }
        return false;
    }
};

// How long a document may take to load: the browser is many times slower under valgrind.
qint64 loadLimitMs() {
    return RUNNING_ON_VALGRIND ? 600000 : 30000;
}

// Runs the event loop until nothing that leads to a paint has happened for `quiet`; returns
// the moment the last such event was done.
Clock::time_point settle(PaintWatch& watch, std::chrono::milliseconds quiet, double* cpuAtEnd) {
    Clock::time_point last = Clock::now();
    double cpu = processCpuSeconds();
    for (;;) {
        const int before = watch.screenWork;
        bool fired = false;
        QTimer::singleShot(quiet, qApp, [&fired] { fired = true; });
        while (!fired) {
            const int seen = watch.screenWork;
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            if (watch.screenWork != seen) {
                last = Clock::now();
                cpu = processCpuSeconds();
            }
        }
        if (watch.screenWork == before) break;
    }
    if (cpuAtEnd) *cpuAtEnd = cpu;
    return last;
}

void settle(PaintWatch& watch) {
    settle(watch, std::chrono::milliseconds(60), nullptr);
}

// The program on a synthetic key of `species` species, as `vireka --quit-after-start` leaves
// it: started, shown, laid out; its own settings and lock in a folder of its own.
class ProgramOnKey {
public:
    explicit ProgramOnKey(int species) : keyDir_(keyFolder(species)) {
        const QString& keyDir = keyDir_;
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
        QFile::setPermissions(runtime_.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        settings_ = std::make_unique<platform::Settings>(config_.filePath("vireka.ini"));
        kb::InstallationRequest request;
        request.dataDir = keyDir;
        request.programDir = QStringLiteral(VIREKA_PROGRAM_DIR);
        QString error;
        const auto installation = kb::planInstallation(request, &error);
        if (!installation) qFatal("installation: %s", qPrintable(error));
        settings_->storeInstallation(*installation);
        settings_->storeLanguage(0);
        settings_->sync();
        started_ = shell::startProgram({QStringLiteral("vireka")}, *settings_, &dialogs_);
        if (!started_.session) qFatal("the program did not start on %s", qPrintable(keyDir));
        std::vector<platform::i16> values;
        QString detail;
        const qint64 size = QFileInfo(keyDir + QStringLiteral("/MATRICE.DAT")).size();
        if (kb::DataFiles::read(keyDir + QStringLiteral("/MATRICE.DAT"), size_t(size / 2), values,
                                &detail) != kb::DataFiles::Status::Ok)
            qFatal("matrix: %s", qPrintable(detail));
        matrix_ = std::move(values);
        qApp->installEventFilter(&watch);
        settle(watch);
    }
    ~ProgramOnKey() { qApp->removeEventFilter(&watch); }

    shell::frmMain& window() { return started_.session->window(); }

    // One streaming pass over the matrix, as bench/passbaseline.h times it.
    std::int64_t streamingPass() const {
        std::int64_t total = 0;
        constexpr size_t Block = 32768;
        for (size_t start = 0; start < matrix_.size(); start += Block) {
            const size_t end = std::min(matrix_.size(), start + Block);
            std::int32_t sum = 0;
            for (size_t i = start; i < end; ++i) sum += matrix_[i];
            total += sum;
        }
        return total;
    }

    documents::DocumentView* documentView() {
        return qobject_cast<documents::DocumentView*>(window().pane("WebTexte"));
    }

    // The results view shown until its document has loaded and painted.
    bool showDocument() {
        window().showResultsView();
        documents::DocumentView* view = documentView();
        if (!view) return false;
        QElapsedTimer waited;
        waited.start();
        while (view->ReadyState() != documents::DocumentView::ReadyComplete &&
               waited.elapsed() < loadLimitMs())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        settle(watch);
        return view->ReadyState() == documents::DocumentView::ReadyComplete;
    }

    // The results view showing a long document of text and tables written in the key's
    // folder, loaded and painted.
    bool showLongDocument() {
        if (!showDocument()) return false;
        QFile page(keyDir_ + QStringLiteral("/long-document.html"));
        if (!page.open(QIODevice::WriteOnly)) return false;
        page.write("<html><body><h1>A long document</h1>");
        for (int i = 0; i < 300; ++i)
            page.write(QStringLiteral("<h2>Part %1</h2><p>Leaves alternate, simple, with a toothed "
                                      "margin; the flowers are borne in loose clusters at the "
                                      "ends of the branches.</p><table border=1><tr><td>length"
                                      "</td><td>%2 mm</td><td>width</td><td>%3 mm</td></tr>"
                                      "</table>")
                           .arg(i)
                           .arg(10 + i % 7)
                           .arg(3 + i % 5)
                           .toUtf8());
        page.write("</body></html>");
        page.close();
        documents::DocumentView* view = documentView();
        view->Navigate2(QUrl::fromLocalFile(page.fileName()).toString(),
                        documents::DocumentNavigator::NavLocalDocument);
        QElapsedTimer waited;
        waited.start();
        while (view->ReadyState() != documents::DocumentView::ReadyComplete &&
               waited.elapsed() < loadLimitMs())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        settle(watch, std::chrono::milliseconds(300), nullptr);
        return view->ReadyState() == documents::DocumentView::ReadyComplete &&
               view->LocationURL().endsWith(QStringLiteral("long-document.html"));
    }

    // The results view shown until its document has loaded, then the identification view.
    bool showDocumentOnce() {
        const bool shown = showDocument();
        window().showIdentificationView();
        settle(watch);
        return shown;
    }

    // Whether the window's surface is still a raster one: a document view drawn into a
    // texture turns it into a composited surface for good.
    bool rasterWindow() {
        QWindow* handle = window().windowHandle();
        return handle && handle->surfaceType() == QSurface::RasterSurface;
    }

    // A question of the panel that can be asked and has at least two states to choose.
    QString askableQuestion() {
        for (const auto& section : window().questionsPanel()->sections())
            for (const auto& e : section.entries)
                if (e.askable && !e.answered) return e.key;
        return {};
    }

    questions::ChoicePicture* choices() {
        return window().findChild<questions::ChoicePicture*>(QStringLiteral("Pic_Choix"));
    }

    // Marks cell `cell` of the open question as a click would.
    void click(int cell) {
        questions::ChoicePicture* picture = choices();
        const QPointF at = picture->frameRect(cell).center();
        const QPointF global = picture->mapToGlobal(at);
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(picture, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(picture, &release);
    }

    void pressKey(QWidget* target, int key) {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(target, &up);
    }

    PaintWatch watch;

private:
    static QString keyFolder(int species) {
        static std::map<int, std::unique_ptr<QTemporaryDir>> made;
        auto& dir = made[species];
        if (!dir) {
            dir = std::make_unique<QTemporaryDir>();
            QProcess synth;
            synth.start(QStringLiteral(VIREKA_KB_TOOL),
                        {QStringLiteral("synth"), dir->path(), QStringLiteral("--species"),
                         QString::number(species)});
            if (!synth.waitForFinished(600000) || synth.exitCode() != 0)
                qFatal("vireka-kb synth failed: %s", synth.readAllStandardError().constData());
        }
        return dir->path();
    }

    QString keyDir_;
    QTemporaryDir runtime_, config_;
    SilentDialogs dialogs_;
    std::unique_ptr<platform::Settings> settings_;
    shell::StartResult started_;
    std::vector<platform::i16> matrix_;
};

// Min of interleaved samples: pass, then the piece; counters against the pass.
struct Samples {
    std::vector<double> pass, wall, cpu, paints, flushes;

    void report(benchmark::State& state) const {
        if (pass.size() < 3) return state.SkipWithError("fewer than three samples");
        const double p = *std::min_element(pass.begin(), pass.end());
        const double w = *std::min_element(wall.begin(), wall.end());
        const double c = *std::min_element(cpu.begin(), cpu.end());
        state.counters["pass_ms"] = p * 1e3;
        state.counters["wall_ms"] = w * 1e3;
        state.counters["cpu_ms"] = c * 1e3;
        state.counters["wall_vs_pass"] = w / p;
        state.counters["cpu_vs_pass"] = c / p;
        state.counters["paints"] = *std::min_element(paints.begin(), paints.end());
        state.counters["flushes"] = *std::min_element(flushes.begin(), flushes.end());
    }
};

// Times `piece` from its start to the last paint it caused, after one pass.
template <typename Piece>
void sample(ProgramOnKey& program, Samples& samples, const char* name, Piece&& piece) {
    CALLGRIND_ZERO_STATS;
    auto t0 = Clock::now();
    benchmark::DoNotOptimize(program.streamingPass());
    samples.pass.push_back(std::chrono::duration<double>(Clock::now() - t0).count());
    CALLGRIND_DUMP_STATS_AT("pass");
    const int paints = program.watch.paints, flushes = program.watch.flushes;
    const double cpu0 = processCpuSeconds();
    t0 = Clock::now();
    piece();
    double cpuEnd = 0;
    const Clock::time_point end = settle(program.watch, std::chrono::milliseconds(60), &cpuEnd);
    CALLGRIND_DUMP_STATS_AT(name);
    samples.wall.push_back(std::chrono::duration<double>(end - t0).count());
    samples.cpu.push_back(cpuEnd - cpu0);
    samples.paints.push_back(program.watch.paints - paints);
    samples.flushes.push_back(program.watch.flushes - flushes);
}

std::map<int, std::unique_ptr<ProgramOnKey>>& runningPrograms() {
    static std::map<int, std::unique_ptr<ProgramOnKey>> running;
    // The windows must go while the application and the browser engine are still there: the
    // engine's own clean-up is a post routine that runs before those added earlier.
    static const bool cleared = [] {
        atBenchmarksEnd([] { runningPrograms().clear(); });
        return true;
    }();
    Q_UNUSED(cleared);
    return running;
}

std::unique_ptr<ProgramOnKey>& program(int species) {
    auto& running = runningPrograms();
    // One program at a time: the instance lock and the memory of the other key would
    // otherwise weigh on this one.
    for (auto it = running.begin(); it != running.end();)
        it = it->first == species ? std::next(it) : running.erase(it);
    auto& p = running[species];
    if (!p) p = std::make_unique<ProgramOnKey>(species);
    return p;
}

// One answer confirmed with the Enter key on the picture of choices, the answer flipping
// between the first two states; with document 1 a document was shown once before.
void ConfirmToLastPaint(benchmark::State& state) {
    auto& p = program(int(state.range(0)));
    if (state.range(1) == 1 && !p->showDocumentOnce())
        return state.SkipWithError("no document could be shown");
    const QString question = p->askableQuestion();
    if (question.isEmpty()) return state.SkipWithError("no question to ask");
    state.counters["raster"] = p->rasterWindow() ? 1 : 0;
    Samples samples;
    int flip = 0;
    for (auto _ : state) {
        p->window().openFromPanel(question);
        settle(p->watch);
        p->click(flip++ % 2);
        settle(p->watch);
        sample(*p, samples, "confirm", [&] { p->pressKey(p->choices(), Qt::Key_Return); });
        state.SetIterationTime(samples.wall.back());
    }
    samples.report(state);
    state.counters["raster"] = p->rasterWindow() ? 1 : 0;
}
BENCHMARK(ConfirmToLastPaint)
    ->ArgNames({"species", "document"})
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Args({30000, 0})
    ->Args({30000, 1})
    ->Iterations(12)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Search from the character toolbar to the proposed question's picture painted, then
// abandoned. The first sample of a fresh program is the first Search (first=1); the others
// propose the same question again.
void SearchToLastPaint(benchmark::State& state) {
    const int species = int(state.range(0));
    const bool first = state.range(1) == 1;
    Samples samples;
    for (auto _ : state) {
        if (first) {
            state.PauseTiming();
            program(species).reset();
            program(species);
            state.ResumeTiming();
        }
        auto& p = program(species);
        sample(*p, samples, "search", [&] {
            p->window().questions().Barre_Deter_ButtonClick(0, QStringLiteral("Search"));
        });
        state.SetIterationTime(samples.wall.back());
        p->window().questions().Barre_Question_ButtonClick(3);
        settle(p->watch);
    }
    samples.report(state);
}
BENCHMARK(SearchToLastPaint)
    ->ArgNames({"species", "first"})
    ->Args({10000, 1})
    ->Args({10000, 0})
    ->Iterations(6)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// A document scrolled by a page with the keyboard, to the last paint of the window: what the
// way the document view is drawn costs the reader of a long document.
void DocumentScroll(benchmark::State& state) {
    auto& p = program(int(state.range(0)));
    if (!p->showLongDocument()) return state.SkipWithError("no document could be shown");
    QWidget* target = p->documentView()->webView()->focusProxy();
    if (!target) target = p->documentView()->webView();
    target->setFocus();
    settle(p->watch);
    Samples samples;
    int step = 0;
    for (auto _ : state) {
        // Down three times, then up three times: the page stays within its length.
        const int key = (step++ / 3) % 2 ? Qt::Key_PageUp : Qt::Key_PageDown;
        sample(*p, samples, "scroll", [&] { p->pressKey(target, key); });
        state.SetIterationTime(samples.wall.back());
    }
    samples.report(state);
    state.counters["raster"] = p->rasterWindow() ? 1 : 0;
    p->window().showIdentificationView();
    settle(p->watch);
}
BENCHMARK(DocumentScroll)
    ->ArgNames({"species"})
    ->Args({10000})
    ->Iterations(12)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// With VIREKA_WINDOW_SHOTS naming a folder, the screen as a person sees it is saved there:
// a document shown, back to identification, after an answer, a document again, and a long
// document scrolled by a page.
void DocumentScreens(benchmark::State& state) {
    const QString folder = qEnvironmentVariable("VIREKA_WINDOW_SHOTS");
    if (folder.isEmpty()) return state.SkipWithError("VIREKA_WINDOW_SHOTS is not set");
    QDir().mkpath(folder);
    auto& p = program(int(state.range(0)));
    auto shot = [&](const char* name) {
        settle(p->watch, std::chrono::milliseconds(500), nullptr);
        QScreen* screen = QGuiApplication::primaryScreen();
        screen->grabWindow(0).save(QDir(folder).filePath(QString::fromLatin1(name) + ".png"));
    };
    for (auto _ : state) {
        if (!p->showDocument()) return state.SkipWithError("no document could be shown");
        shot("1-document");
        p->window().showIdentificationView();
        shot("2-identification");
        const QString question = p->askableQuestion();
        if (!question.isEmpty()) {
            p->window().openFromPanel(question);
            settle(p->watch);
            p->click(0);
            settle(p->watch);
            p->pressKey(p->choices(), Qt::Key_Return);
            shot("3-answered");
        }
        if (!p->showDocument()) return state.SkipWithError("no document came back");
        shot("4-document-again");
        p->window().showIdentificationView();
        shot("5-identification-again");
        if (!p->showLongDocument()) return state.SkipWithError("no long document");
        QWidget* page = p->documentView()->webView()->focusProxy();
        page->setFocus();
        p->pressKey(page, Qt::Key_PageDown);
        shot("6-long-document-scrolled");
        p->window().showIdentificationView();
    }
}
BENCHMARK(DocumentScreens)->ArgNames({"species"})->Args({10000})->Iterations(1);

}  // namespace
