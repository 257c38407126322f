// The main of the benchmarks that need widgets: an application on the offscreen platform
// unless another is asked for.
#include "qtbenchmain.h"

#include <benchmark/benchmark.h>
#include <QApplication>
#include <vector>

namespace {
std::vector<std::function<void()>>& endWork() {
    static std::vector<std::function<void()>> work;
    return work;
}
}  // namespace

void atBenchmarksEnd(std::function<void()> work) {
    endWork().push_back(std::move(work));
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (auto& work : endWork()) work();
    return 0;
}
