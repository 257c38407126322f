#include "kb/datavalues.h"

#include <QFile>
#include <utility>

namespace kb {

DataValues::DataValues() = default;
DataValues::~DataValues() = default;
DataValues::DataValues(DataValues&& other) noexcept {
    *this = std::move(other);
}

// The moved-from values are left empty, not pointing into what they gave away.
DataValues& DataValues::operator=(DataValues&& other) noexcept {
    held_ = std::move(other.held_);
    file_ = std::move(other.file_);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    other.held_.clear();
    return *this;
}

void DataValues::hold() {
    file_.reset();  // closing the file drops the mapping
    data_ = held_.data();
    size_ = held_.size();
}

void DataValues::assign(size_t count, platform::i16 value) {
    held_.assign(count, value);
    hold();
}

void DataValues::adopt(std::vector<platform::i16>&& values) {
    held_ = std::move(values);
    hold();
}

platform::i16* DataValues::writable() {
    if (file_) {
        held_.assign(data_, data_ + size_);
        hold();
    }
    return held_.data();
}

void DataValues::adoptMapping(std::unique_ptr<QFile> file, const platform::i16* data,
                              size_t count) {
    held_.clear();
    held_.shrink_to_fit();
    file_ = std::move(file);
    data_ = data;
    size_ = count;
}

}  // namespace kb
