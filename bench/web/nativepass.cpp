// One streaming pass over a matrix of 16-bit values, as the desktop engine holds a key of
// SPECIES x STATES, timed natively: the baseline the web engine's benchmark measures against
// in the same run. Prints the fastest of REPEATS passes, wall and CPU time, in milliseconds.
//
//   bench_nativepass SPECIES STATES [REPEATS]
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double wallMs() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_nativepass SPECIES STATES [REPEATS]\n");
        return 2;
    }
    const long species = std::atol(argv[1]), states = std::atol(argv[2]);
    const int repeats = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    if (species <= 0 || states <= 0 || species * states > (1L << 31)) return 2;
    std::vector<std::int16_t> matrix(size_t(species * states));
    for (size_t i = 0; i < matrix.size(); ++i) matrix[i] = std::int16_t((i * 2654435761u) >> 31);
    double wall = 1e300, cpu = 1e300;
    std::int64_t sink = 0;
    for (int r = 0; r < repeats; ++r) {
        const double w0 = wallMs(), c0 = cpuMs();
        std::int64_t sum = 0;
        for (const std::int16_t v : matrix) sum += v;
        const double c1 = cpuMs(), w1 = wallMs();
        sink += sum;
        wall = std::min(wall, w1 - w0);
        cpu = std::min(cpu, c1 - c0);
    }
    std::printf("native_pass_ms %.3f cpu_ms %.3f sink %lld\n", wall, cpu, (long long)(sink & 1));
    return 0;
}
