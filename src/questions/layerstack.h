#pragma once

#include "platform/picture.h"

#include <QString>
#include <vector>

namespace questions {

// The pictures of the drawing's layers, painted in index order. The engine decides which
// file each layer shows; this holds the loaded pictures. Every change bumps the revision,
// so views know when their cached image is stale.
class LayerStack {
public:
    void resize(int count);
    int size() const { return int(layers_.size()); }

    // Loads the file (a knowledge-base path, "\" separators allowed) into a layer; appends
    // layers as needed. False, changing nothing, when the picture cannot be read.
    bool load(int layer, const QString& path, QString* error = nullptr);
    // Keeps the first count layers (drops the contradiction overlays).
    void truncate(int count);

    const platform::Picture& at(int layer) const { return layers_[size_t(layer)]; }
    quint64 revision() const { return revision_; }

private:
    std::vector<platform::Picture> layers_;
    quint64 revision_ = 0;
};

}  // namespace questions
