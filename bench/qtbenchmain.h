#pragma once

#include <functional>

// Work to do once every benchmark has run, while the application still exists: widgets that
// outlive the benchmarks go here, before the application and the engines it started (the
// browser's among them) are torn down.
void atBenchmarksEnd(std::function<void()> work);
