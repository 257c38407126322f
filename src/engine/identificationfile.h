#pragma once

#include "engine/typedvaluestrailer.h"
#include "platform/int16.h"

#include <QString>
#include <vector>

namespace engine {

// The ".qnt" file: the description exactly as the engine keeps it, with no header. First
// StateChoice (1 chosen, 0 not), then FrameState (-1 answered, 0 not), every entry a 16-bit
// little-endian integer; the file is 2 x (StateCount + FrameCount) bytes long, followed by a
// trailer of typed values (typedvaluestrailer.h) only when the description holds some.
class IdentificationFile {
public:
    enum class Status {
        Ok,
        CannotOpen,  // missing, unreadable, or not a regular file (a folder, a device, a pipe)
        Foreign,     // values or a length no description of this knowledge base can hold;
                     // nothing changed
    };
    struct ReadResult {
        Status status = Status::Ok;
        bool lengthDiffers = false;  // saved with a knowledge base of other counts
        qint64 size = 0;
        QString errorString;
        // The typed values of a trailer written with this description; nothing when the file
        // has no such trailer.
        std::optional<std::vector<TypedValue>> typed;
    };

    // Checks the file and reports what reading it would do, without changing anything.
    static ReadResult inspect(const QString& path, size_t stateCount, size_t frameCount);

    // Reads up to 2 x StateCount bytes into choice from its first entry, then up to
    // 2 x FrameCount bytes into frames; entries past the end of the file keep their values.
    // A file refused by inspect() changes nothing.
    static ReadResult read(const QString& path, std::vector<platform::i16>& choice,
                           std::vector<platform::i16>& frames);

    // Writes the description over the start of the file. A longer existing file keeps its
    // tail; the file is replaced in one step, so a failed save leaves the old one whole, and
    // true is returned only once every byte is on the disk. Typed values, when there are any,
    // follow the description in a trailer; a trailer left by an earlier save is not kept.
    static bool write(const QString& path, const std::vector<platform::i16>& choice,
                      const std::vector<platform::i16>& frames, QString* errorString,
                      const std::vector<TypedValue>& typed = {});
};

}  // namespace engine
