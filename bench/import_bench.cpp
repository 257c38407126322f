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

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
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
    double work = 0, pass = 0;
    int run = 0, questions = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        authoring::Dataset dataset;
        authoring::DeltaReader reader;
        authoring::ImportResult result;
        const bool ok = reader.read(data, dataset) &&
                        authoring::importDataset(dataset, {},
                                                 dir.filePath(QString("out%1").arg(run++)), result);
        work += seconds(Clock::now() - t0);
        if (!ok) state.SkipWithError("the import failed");
        questions = int(result.plan.questions.size());
        t0 = Clock::now();
        benchmark::DoNotOptimize(readPass(data));
        pass += seconds(Clock::now() - t0);
    }
    state.counters["questions"] = questions;
    state.counters["read_ms"] = pass / double(state.iterations()) * 1e3;
    state.counters["vs_read"] = work / pass;
}
BENCHMARK(ImportDelta)->Args({1000, 200})->Args({100, 50})->Unit(benchmark::kSecond)->Iterations(3);

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
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
