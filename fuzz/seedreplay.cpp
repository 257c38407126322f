// Runs one fuzz target's entry point over every file of its seed folder, in name order, so
// that the normal build notices when a change breaks a seed. Built without libFuzzer: this
// main() takes libFuzzer's place. A missing or empty seed folder is a failure, since a
// target whose seeds vanished would otherwise pass without running anything.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size);

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SEED_FOLDER\n", argv[0]);
        return 2;
    }
    namespace fs = std::filesystem;
    std::error_code error;
    std::vector<fs::path> seeds;
    for (const fs::directory_entry& entry : fs::directory_iterator(argv[1], error))
        if (entry.is_regular_file()) seeds.push_back(entry.path());
    if (error || seeds.empty()) {
        std::fprintf(stderr, "no seed in %s\n", argv[1]);
        return 1;
    }
    std::sort(seeds.begin(), seeds.end());
    for (const fs::path& seed : seeds) {
        std::ifstream in(seed, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>()};
        if (!in.eof() && in.fail()) {
            std::fprintf(stderr, "cannot read %s\n", seed.c_str());
            return 1;
        }
        std::printf("%s (%zu bytes)\n", seed.filename().c_str(), bytes.size());
        std::fflush(stdout);
        // A copy of exactly the input's size, as libFuzzer gives it: a read past the end is
        // then a read past the block, which the sanitizer build reports.
        const std::unique_ptr<std::uint8_t[]> input(new std::uint8_t[bytes.size()]);
        std::copy(bytes.begin(), bytes.end(), input.get());
        LLVMFuzzerTestOneInput(input.get(), bytes.size());
    }
    std::printf("%zu seeds replayed\n", seeds.size());
    return 0;
}
