#include "questions/layerstack.h"

#include "platform/paths.h"

namespace questions {

void LayerStack::resize(int count) {
    layers_.resize(size_t(std::max(0, count)));
    ++revision_;
}

bool LayerStack::load(int layer, const QString& path, QString* error) {
    if (layer < 0) return false;
    platform::Picture picture = platform::Picture::load(platform::toLocalPath(path), error);
    if (picture.isNull()) return false;
    if (size_t(layer) >= layers_.size()) layers_.resize(size_t(layer) + 1);
    layers_[size_t(layer)] = picture;
    ++revision_;
    return true;
}

void LayerStack::truncate(int count) {
    if (size_t(std::max(0, count)) < layers_.size()) {
        layers_.resize(size_t(std::max(0, count)));
        ++revision_;
    }
}

}  // namespace questions
