#pragma once

#include "platform/int16.h"

#include <memory>
#include <vector>

class QFile;

namespace kb {

// The 16-bit values of a data file: held in memory, or mapped read-only from the file, so that
// a large matrix costs neither a copy nor a second buffer. Writing goes to a private copy: a
// mapped file is never written.
class DataValues {
public:
    DataValues();
    ~DataValues();
    DataValues(DataValues&&) noexcept;
    DataValues& operator=(DataValues&&) noexcept;

    // Held values: count copies of value, or the values given.
    void assign(size_t count, platform::i16 value);
    void adopt(std::vector<platform::i16>&& values);
    // The size() values for writing; a mapping is copied into memory first.
    platform::i16* writable();
    // Keeps the open file and its mapping until the values are replaced.
    void adoptMapping(std::unique_ptr<QFile> file, const platform::i16* data, size_t count);

    const platform::i16* data() const { return data_; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    platform::i16 operator[](size_t i) const { return data_[i]; }
    bool isMapped() const { return file_ != nullptr; }

private:
    void hold();

    std::vector<platform::i16> held_;
    std::unique_ptr<QFile> file_;
    const platform::i16* data_ = nullptr;
    size_t size_ = 0;
};

}  // namespace kb
