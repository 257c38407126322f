// The exported player of a large key in the browser engine of the tests (Qt WebEngine): what
// must come over the network before first use, compressed with gzip as static hosts send it;
// the time from asking for the page to a ready key; the page's work for one answer (the
// engine, the list, the legend, the questions panel, the drawing and the layout that follows);
// and the page's memory. Each figure is printed against its goal.
//
//   bench_webpage SITE [ANSWERS]          (default 40 answers)
#include <unistd.h>
#include <zlib.h>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>
#include <algorithm>
#include <cstdio>

namespace {

// Every address the page asks for, in order.
class Recorder : public QWebEngineUrlRequestInterceptor {
public:
    void interceptRequest(QWebEngineUrlRequestInfo& info) override { urls << info.requestUrl(); }
    QList<QUrl> urls;
};

// The size of a file compressed as gzip at its default level.
qint64 gzipSize(const QByteArray& bytes) {
    z_stream z{};
    if (deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) return -1;
    QByteArray out(qsizetype(deflateBound(&z, uLong(bytes.size()))), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z.avail_in = uInt(bytes.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    const int done = deflate(&z, Z_FINISH);
    const qint64 size = done == Z_STREAM_END ? qint64(z.total_out) : -1;
    deflateEnd(&z);
    return size;
}

QVariant run(QWebEnginePage& page, const QString& script) {
    QVariant result;
    bool done = false;
    page.runJavaScript(script, [&](const QVariant& v) {
        result = v;
        done = true;
    });
    QElapsedTimer timer;
    timer.start();
    while (!done && timer.elapsed() < 120000) QTest::qWait(5);
    return result;
}

// A process's memory by kind, in kilobytes, from /proc/PID/smaps_rollup. The resident set
// counts the pages of the shared libraries too (most of a blank page's). Clean private pages
// are library pages that no other process happens to map at that moment: they come and go
// with what else runs on the machine. The dirty private pages (heaps, the page's data,
// written library data) are what the page itself costs.
struct Footprint {
    qint64 rss = -1, pss = -1, privateClean = -1, privateDirty = -1, anonymous = -1;
};

Footprint footprint(qint64 pid) {
    Footprint f;
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly)) return f;
    const auto value = [](const QByteArray& line) {
        return line.mid(line.indexOf(':') + 1).trimmed().split(' ').value(0).toLongLong();
    };
    for (const QByteArray& line : rollup.readAll().split('\n')) {
        if (line.startsWith("Rss:"))
            f.rss = value(line);
        else if (line.startsWith("Pss:"))
            f.pss = value(line);
        else if (line.startsWith("Private_Clean:"))
            f.privateClean = value(line);
        else if (line.startsWith("Private_Dirty:"))
            f.privateDirty = value(line);
        else if (line.startsWith("Anonymous:"))
            f.anonymous = value(line);
    }
    return f;
}

void printFootprint(const char* what, const Footprint& f) {
    std::printf(
        "  %s: resident %.0f MB, proportional %.0f MB, private dirty %.0f MB, private clean "
        "%.0f MB, anonymous %.0f MB\n",
        what, f.rss / 1024.0, f.pss / 1024.0, f.privateDirty / 1024.0, f.privateClean / 1024.0,
        f.anonymous / 1024.0);
}

// The time the renderer's main thread (the thread whose id is the process's) has run so far,
// in milliseconds, from the scheduler's own count: unlike wall time it leaves out the time
// other programs on a loaded machine hold the processor.
double mainThreadRunMs(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/task/%1/schedstat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return -1;
    return stat.readAll().split(' ').value(0).toDouble() / 1e6;
}

// The CPU time a process has used so far (user and system), in milliseconds: wall times
// mean little on a loaded machine.
double cpuMs(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return -1;
    const QByteArray line = stat.readAll();
    // The fields after the command's name, which ends at the last ')'.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13) return -1;
    const double ticks = double(sysconf(_SC_CLK_TCK));
    return (fields[11].toDouble() + fields[12].toDouble()) * 1000.0 / ticks;
}

const char* verdict(bool ok) {
    return ok ? "meets" : "MISSES";
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_webpage SITE [ANSWERS]\n");
        return 2;
    }
    const QString site = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const int answers = argc > 2 ? std::max(5, QString::fromLocal8Bit(argv[2]).toInt()) : 40;

    QWebEngineProfile profile;
    Recorder recorder;
    profile.setUrlRequestInterceptor(&recorder);
    QWebEngineView view;
    auto* page = new QWebEnginePage(&profile, &view);
    view.setPage(page);
    view.resize(1280, 800);
    view.show();

    QElapsedTimer clock;
    clock.start();
    page->load(QUrl::fromLocalFile(site + QStringLiteral("/index.html")));
    while (
        run(*page, QStringLiteral("Boolean(document.body && document.body.dataset.ready === '1')"))
                .toBool() == false &&
        clock.elapsed() < 120000)
        QTest::qWait(10);
    const double readyMs = double(clock.elapsed());
    const double pageReadyMs = run(*page, "VirekaPlayer.readyAt || -1").toDouble();
    const double readyCpuMs = cpuMs(page->renderProcessPid());
    QTest::qWait(500);
    const Footprint readyFootprint = footprint(page->renderProcessPid());
    const double answersCpuFrom = cpuMs(page->renderProcessPid());

    qint64 raw = 0, gz = 0;
    for (const QUrl& url : recorder.urls) {
        QFile file(url.toLocalFile());
        if (!url.isLocalFile() || !file.open(QIODevice::ReadOnly)) continue;
        const QByteArray bytes = file.readAll();
        raw += bytes.size();
        gz += gzipSize(bytes);
    }

    // Answers to questions drawn at random, each followed by the layout it causes.
    const QVariantList times =
        run(*page,
            QStringLiteral(
                "(() => { const P = VirekaPlayer, key = P.key; let seed = 7;"
                " const next = (n) => (seed = (seed * 1103515245 + 12345) % 2147483648) % n;"
                " const askable = key.objects.map((o, r) => r).filter((r) => key.objects[r].count "
                "> 1);"
                " const page = [], engine = [];"
                // Earlier players answer through the engine and refresh the page whole.
                " const answer = P.answer || ((r, c) => { P.id().answer(r, c); P.refresh(); });"
                " for (let i = 0; i < %1; ++i) { const r = askable[next(askable.length)];"
                "   const cell = next(key.objects[r].count);"
                "   let t = performance.now(); answer(r, cell); document.body.offsetHeight;"
                "   page.push(performance.now() - t);"
                "   t = performance.now(); P.id().answer(r, (cell + 1) % key.objects[r].count);"
                "   engine.push(performance.now() - t); P.id().undo(); }"
                " return [page, engine]; })()")
                .arg(answers))
            .toList();
    const double answersCpuMs = cpuMs(page->renderProcessPid()) - answersCpuFrom;
    std::vector<double> pageMs, engineMs;
    for (const QVariant& v : times.value(0).toList()) pageMs.push_back(v.toDouble());
    for (const QVariant& v : times.value(1).toList()) engineMs.push_back(v.toDouble());
    std::sort(pageMs.begin(), pageMs.end());
    std::sort(engineMs.begin(), engineMs.end());
    const auto median = [](const std::vector<double>& v) {
        return v.empty() ? -1.0 : v[v.size() / 2];
    };
    const auto worst = [](const std::vector<double>& v) { return v.empty() ? -1.0 : v.back(); };

    // The same kind of answers, one call each, counted in the main thread's running time. A
    // call that does nothing is counted too: its cost (the call itself) is taken off.
    const qint64 pid = page->renderProcessPid();
    std::vector<double> emptyRuns, threadMs;
    for (int i = 0; i < 10; ++i) {
        const double from = mainThreadRunMs(pid);
        run(*page, QStringLiteral("0"));
        emptyRuns.push_back(mainThreadRunMs(pid) - from);
    }
    const double callMs = *std::min_element(emptyRuns.begin(), emptyRuns.end());
    run(*page, QStringLiteral("(() => { const P = VirekaPlayer, key = P.key; let seed = 13;"
                              " P.benchNext = (n) => (seed = (seed * 1103515245 + 12345) %"
                              " 2147483648) % n;"
                              " P.benchAskable = key.objects.map((o, r) => r)"
                              ".filter((r) => key.objects[r].count > 1); })()"));
    const auto timedAnswers = [&] {
        std::vector<double> ms;
        for (int i = 0; i < answers; ++i) {
            const double from = mainThreadRunMs(pid);
            run(*page,
                QStringLiteral(
                    "(() => { const P = VirekaPlayer, key = P.key;"
                    " const r = P.benchAskable[P.benchNext(P.benchAskable.length)];"
                    " const answer = P.answer || ((q, c) => { P.id().answer(q, c); P.refresh(); "
                    "});"
                    " answer(r, P.benchNext(key.objects[r].count));"
                    " document.body.offsetHeight; })()"));
            ms.push_back(std::max(0.0, mainThreadRunMs(pid) - from - callMs));
        }
        std::sort(ms.begin(), ms.end());
        return ms;
    };
    threadMs = timedAnswers();
    // Then with the questions panel in view, which follows every answer.
    run(*page, QStringLiteral("document.querySelector('#tabs button[data-tab=questions]')"
                              ".click()"));
    QTest::qWait(200);
    const std::vector<double> panelThreadMs = timedAnswers();
    run(*page, QStringLiteral("document.querySelector('#tabs button[data-tab=results]')"
                              ".click()"));

    // Where an answer's time goes, part by part, on the same random answers.
    const QString parts =
        run(*page,
            QStringLiteral(
                "(() => { const P = VirekaPlayer, key = P.key, id = P.id(); const T = {};"
                " const time = (n, f) => { const t = performance.now(); f();"
                "   T[n] = (T[n] || 0) + performance.now() - t; };"
                " let seed = 11; const next = (n) => (seed = (seed * 1103515245 + 12345) % "
                "2147483648) % n;"
                " const askable = key.objects.map((o, r) => r).filter((r) => key.objects[r].count "
                "> 1);"
                " for (let i = 0; i < %1; ++i) { const r = askable[next(askable.length)];"
                "   time('engine', () => id.answer(r, next(key.objects[r].count)));"
                "   time('layers', () => id.layers());"
                "   time('list', () => P.results.render(id.listLines(), id.legend()));"
                "   time('questions', () => id.questions(''));"
                "   if (P.panel) time('panel', () => { const a = id.questions(''); "
                "P.panel.render(a, a); });"
                "   time('layout', () => document.body.offsetHeight); }"
                " return Object.entries(T).map(([k, v]) => k + ' ' + (v / %1).toFixed(1) + ' ms')"
                ".join(', '); })()")
                .arg(answers))
            .toString();

    QTest::qWait(500);
    const double heapMb =
        run(*page, "performance.memory ? performance.memory.usedJSHeapSize : -1").toDouble() /
        1048576.0;
    const Footprint endFootprint = footprint(page->renderProcessPid());

    // A blank page in a profile of its own (so in a renderer of its own): what the engine
    // costs before any page of ours.
    QWebEngineProfile blankProfile;
    QWebEnginePage blank(&blankProfile);
    bool blankLoaded = false;
    QObject::connect(&blank, &QWebEnginePage::loadFinished, [&] { blankLoaded = true; });
    blank.setHtml(QStringLiteral("<!doctype html><title>blank</title><p>blank</p>"));
    QElapsedTimer blankClock;
    blankClock.start();
    while (!blankLoaded && blankClock.elapsed() < 30000) QTest::qWait(10);
    QTest::qWait(500);
    const Footprint blankFootprint = footprint(blank.renderProcessPid());

    std::printf("site: %s (%s)\n", qPrintable(site),
                qPrintable(run(*page,
                               "VirekaPlayer.key.speciesCount + ' species, ' +"
                               " VirekaPlayer.key.objects.length + ' questions'")
                               .toString()));
    std::printf("before first use: %lld files, %.2f MB, %.2f MB gzip  (goal <= 5 MB: %s)\n",
                qlonglong(recorder.urls.size()), raw / 1048576.0, gz / 1048576.0,
                verdict(gz <= 5 * 1048576));
    std::printf("ready: %.0f ms from the request, %.0f ms in the page  (goal <= 1000 ms: %s)\n",
                readyMs, pageReadyMs, verdict(readyMs <= 1000));
    std::printf(
        "answer, page update: median %.1f ms, worst %.1f ms over %zu; engine alone median "
        "%.1f ms  (goal <= 16 ms: %s)\n",
        median(pageMs), worst(pageMs), pageMs.size(), median(engineMs),
        verdict(worst(pageMs) <= 16));
    std::printf(
        "answer, page update in the renderer's main thread running time: median %.1f ms, worst "
        "%.1f ms over %zu (a call alone %.1f ms, taken off)  (goal <= 16 ms: %s)\n",
        median(threadMs), worst(threadMs), threadMs.size(), callMs, verdict(worst(threadMs) <= 16));
    std::printf(
        "  the same with the questions panel in view: median %.1f ms, worst %.1f ms  (goal <= "
        "16 ms: %s)\n",
        median(panelThreadMs), worst(panelThreadMs), verdict(worst(panelThreadMs) <= 16));
    std::printf("  mean per answer: %s\n", qPrintable(parts));
    // The goal is read as the page's own memory: the renderer's dirty private pages, which
    // leave out the libraries' pages the engine maps for any page (the resident set, shown
    // beside it, counts them).
    const double privateMb = endFootprint.privateDirty / 1024.0;
    std::printf(
        "memory: renderer %.0f MB private dirty (%.0f MB resident), JavaScript heap %.0f MB"
        "  (goal <= 150 MB private dirty: %s)\n",
        privateMb, endFootprint.rss / 1024.0, heapMb, verdict(privateMb <= 150));
    printFootprint("renderer at the end", endFootprint);
    printFootprint("renderer when ready", readyFootprint);
    printFootprint("renderer of a blank page", blankFootprint);
    std::printf(
        "renderer CPU: %.0f ms to ready; %.1f ms per answer (the page's answer, then the "
        "engine's answer and undo)\n",
        readyCpuMs, answersCpuMs / double(std::max<size_t>(1, pageMs.size())));
    return 0;
}
