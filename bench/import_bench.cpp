#include "syntheticdelta.h"

#include "authoring/import/datasetfiles.h"
#include "authoring/import/deltareader.h"
#include "authoring/import/importer.h"

#include <benchmark/benchmark.h>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdlib>
#include <ctime>

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// CPU time of the whole process (every thread), in seconds: a loaded machine stretches the
// wall clock, far less the CPU time.
double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// What any import must do at least: read and decode every file of the dataset once.
qsizetype readPass(const QString& folder) {
    qsizetype chars = 0;
    for (const QString& name : QDir(folder).entryList(QDir::Files)) {
        QByteArray bytes;
        QString error;
        authoring::datasetfiles::read(folder + "/" + name, authoring::datasetfiles::kTextLimit,
                                      bytes, error);
        chars += authoring::datasetfiles::decode(bytes).size();
    }
    return chars;
}

// The whole import of a dataset of `items` x `characters`: reading, mapping, the source,
// the compiled base, the documents and the map. Each import is followed by one read pass,
// so that both run under the same load; vs_read is the import's time over the pass's.
void ImportDelta(benchmark::State& state) {
    QTemporaryDir dir;
    const QString data = dir.filePath("dataset");
    writeSyntheticDelta(data, int(state.range(0)), int(state.range(1)), 11);
    double work = 0, pass = 0, cpu = 0;
    int run = 0, questions = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        const double c0 = cpuSeconds();
        authoring::Dataset dataset;
        authoring::DeltaReader reader;
        authoring::ImportResult result;
        const bool ok = reader.read(data, dataset) &&
                        authoring::importDataset(dataset, {},
                                                 dir.filePath(QString("out%1").arg(run++)), result);
        work += seconds(Clock::now() - t0);
        cpu += cpuSeconds() - c0;
        if (!ok) state.SkipWithError("the import failed");
        questions = int(result.plan.questions.size());
        t0 = Clock::now();
        benchmark::DoNotOptimize(readPass(data));
        pass += seconds(Clock::now() - t0);
    }
    state.counters["questions"] = questions;
    state.counters["read_ms"] = pass / double(state.iterations()) * 1e3;
    state.counters["vs_read"] = work / pass;
    state.counters["cpu_s"] = cpu / double(state.iterations());
    // A flora of about 500 taxa and 430 characters imports within a second of CPU time.
    if (state.range(0) == 506) state.counters["goal_cpu_s"] = 1.0;
}
BENCHMARK(ImportDelta)
    ->Args({506, 432})
    ->Args({1000, 200})
    ->Args({100, 50})
    ->Unit(benchmark::kSecond)
    ->Iterations(3);

// Reading a character of N states (a list of hosts): the time per state stays the same
// whatever N, each state being read once.
void ReadManyStates(benchmark::State& state) {
    QTemporaryDir dir;
    const int states = int(state.range(0));
    QByteArray chars = "*CHARACTER LIST\n#1. host/\n";
    for (int s = 1; s <= states; ++s)
        chars += "  " + QByteArray::number(s) + ". host species " + QByteArray::number(s) + "/\n";
    const auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::WriteOnly)) f.write(bytes);
    };
    write("specs", "*NUMBER OF CHARACTERS 1\n*NUMBERS OF STATES 1," + QByteArray::number(states));
    write("chars", chars);
    write("items", "*ITEM DESCRIPTIONS\n# Aus bus/ 1,1\n# Aus cus/ 1,2\n");
    double work = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        authoring::Dataset dataset;
        authoring::DeltaReader reader;
        if (!reader.read(dir.path(), dataset)) state.SkipWithError("the dataset was not read");
        work += seconds(Clock::now() - t0);
    }
    state.counters["ns_per_state"] = work / double(state.iterations()) / states * 1e9;
}
BENCHMARK(ReadManyStates)->Arg(25000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // --write-delta FOLDER ITEMS CHARACTERS: only the dataset, for timing the tool itself.
    if (argc == 5 && QByteArray(argv[1]) == "--write-delta") {
        writeSyntheticDelta(QString::fromLocal8Bit(argv[2]), atoi(argv[3]), atoi(argv[4]), 11);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
