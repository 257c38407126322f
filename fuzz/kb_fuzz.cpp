// Feeds arbitrary bytes to the loader as a knowledge-base file, its two data files and its
// palette picture: the input is split in four at "\xff\xfe\xfd" (fuzzinput.h). The palette
// picture is rendered and sampled as at start-up.
#include "fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::ensureApplication("kb_fuzz");
    kb::Model model;
    fuzz::loadFuzzedBase(fuzz::splitInput(data, size, 4), model);
    return 0;
}
