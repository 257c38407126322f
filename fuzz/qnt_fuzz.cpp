// Feeds arbitrary bytes to the identification file reader as a ".qnt" file, with counts of
// states and frames taken from the first four bytes; what it reads, typed values included, is
// written back and read again, and must come back the same.
#include "engine/identificationfile.h"
#include "fuzzinput.h"

#include <QTemporaryDir>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::ensureApplication("qnt_fuzz");
    static QTemporaryDir dir;
    if (size < 4) return 0;
    const size_t states = size_t(data[0] | (data[1] << 8)) % 4096;
    const size_t frames = size_t(data[2] | (data[3] << 8)) % 512;
    const QString path = dir.filePath("a.qnt");
    fuzz::writeFile(path, QByteArray(reinterpret_cast<const char*>(data + 4), qsizetype(size - 4)));

    using engine::IdentificationFile;
    const auto inspected = IdentificationFile::inspect(path, states, frames);
    std::vector<platform::i16> choice(states, 0), frame(frames, 0);
    const auto read = IdentificationFile::read(path, choice, frame);
    if (read.status != inspected.status || read.lengthDiffers != inspected.lengthDiffers)
        std::abort();
    if (read.status != IdentificationFile::Status::Ok) return 0;

    QString error;
    if (!IdentificationFile::write(path, choice, frame, &error,
                                   read.typed.value_or(std::vector<engine::TypedValue>{})))
        std::abort();
    std::vector<platform::i16> choiceAgain(states, 7), frameAgain(frames, 7);
    const auto again = IdentificationFile::read(path, choiceAgain, frameAgain);
    if (again.status != IdentificationFile::Status::Ok) std::abort();
    if (choiceAgain != choice || frameAgain != frame || again.typed != read.typed) std::abort();
    return 0;
}
