#include "kb/speciestree.h"

#include <algorithm>

namespace kb {

namespace {

QString folded(const QString& key) {
    return key.toCaseFolded();
}

bool textBefore(const QString& a, const QString& b) {
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

}  // namespace

int SpeciesTree::find(const QString& key) const {
    return byKey_.value(folded(key), -1);
}

bool SpeciesTree::addRoot(const QString& key, const QString& text, const QString& image,
                          const QString& tag) {
    return insert(-1, key, text, image, tag);
}

bool SpeciesTree::add(const QString& parentKey, const QString& key, const QString& text,
                      const QString& image, const QString& tag) {
    const int parent = parentKey.isEmpty() ? -1 : find(parentKey);
    return parent >= 0 && insert(parent, key, text, image, tag);
}

bool SpeciesTree::insert(int parent, const QString& key, const QString& text, const QString& image,
                         const QString& tag) {
    if (key.isEmpty()) return false;
    const QString k = folded(key);
    if (byKey_.contains(k)) return false;
    const int index = int(nodes_.size());
    nodes_.push_back(Node{key, text, image, tag, parent, {}});
    byKey_.insert(k, index);
    if (parent < 0) {
        roots_.push_back(index);
    } else {
        auto& siblings = nodes_[size_t(parent)].children;
        // Names mostly arrive in order; one out of order marks the parent for a single
        // stable sort instead of an insertion that moves every sibling after it.
        if (!siblings.empty() && textBefore(text, nodes_[size_t(siblings.back())].text) &&
            (unsorted_.empty() || unsorted_.back() != parent))
            unsorted_.push_back(parent);
        siblings.push_back(index);
    }
    return true;
}

void SpeciesTree::sortPending() const {
    if (unsorted_.empty()) return;
    std::sort(unsorted_.begin(), unsorted_.end());
    unsorted_.erase(std::unique(unsorted_.begin(), unsorted_.end()), unsorted_.end());
    for (int parent : unsorted_) {
        auto& siblings = nodes_[size_t(parent)].children;
        // Stable: equal texts keep the order they were added in.
        std::stable_sort(siblings.begin(), siblings.end(), [&](int a, int b) {
            return textBefore(nodes_[size_t(a)].text, nodes_[size_t(b)].text);
        });
    }
    unsorted_.clear();
}

void SpeciesTree::clear() {
    nodes_.clear();
    roots_.clear();
    byKey_.clear();
    unsorted_.clear();
}

}  // namespace kb
