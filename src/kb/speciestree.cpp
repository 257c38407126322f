#include "kb/speciestree.h"

#include "platform/textcompare.h"

#include <algorithm>

namespace kb {

namespace {

// Keys are mostly codes and names in Latin letters. Below U+0100 every letter but ß folds to
// one letter, the same one Qt's full folding gives, so those keys fold letter by letter at a
// fraction of the cost of the general folding (and nothing when no letter changes).
char16_t foldedLatin1(char16_t u) {
    if (u < 0x80) return u >= 'A' && u <= 'Z' ? char16_t(u + ('a' - 'A')) : u;
    return char16_t(QChar::toCaseFolded(char32_t(u)));
}

QString folded(const QString& key) {
    qsizetype first = -1;  // the first letter that folds to another
    for (qsizetype i = 0; i < key.size(); ++i) {
        const char16_t u = key[i].unicode();
        if (u >= 0x100 || u == 0xDF) return key.toCaseFolded();
        if (first < 0 && foldedLatin1(u) != u) first = i;
    }
    if (first < 0) return key;
    QString out = key;
    for (qsizetype i = first; i < out.size(); ++i) out[i] = QChar(foldedLatin1(out[i].unicode()));
    return out;
}

bool textBefore(const QString& a, const QString& b) {
    const int c = platform::compareIgnoringCase(a, b);
    return c != 0 ? c < 0 : a < b;
}

}  // namespace

int SpeciesTree::find(const QString& key) const {
    complete();
    return byKey_.value(folded(key), -1);
}

bool SpeciesTree::addRoot(const QString& key, const QString& text, const QString& image,
                          const QString& tag) {
    return insert(-1, key, text, image, tag) >= 0;
}

bool SpeciesTree::add(const QString& parentKey, const QString& key, const QString& text,
                      const QString& image, const QString& tag) {
    const int parent = parentKey.isEmpty() ? -1 : find(parentKey);
    return parent >= 0 && insert(parent, key, text, image, tag) >= 0;
}

int SpeciesTree::addUnder(int parent, const QString& key, const QString& text, const QString& image,
                          const QString& tag) {
    // Reading deferred branches only adds nodes, so the check needs no reading; insert reads.
    if (parent < 0 || parent >= int(nodes_.size())) return -1;
    return insert(parent, key, text, image, tag);
}

int SpeciesTree::insert(int parent, const QString& key, const QString& text, const QString& image,
                        const QString& tag) {
    complete();
    if (key.isEmpty()) return -1;
    const QString k = folded(key);
    if (byKey_.contains(k)) return -1;
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
    return index;
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

void SpeciesTree::reserve(int more) {
    if (more <= 0) return;
    nodes_.reserve(nodes_.size() + size_t(more));
    byKey_.reserve(byKey_.size() + more);
}

void SpeciesTree::defer(int node, std::function<void()> fill) {
    if (node < 0 || node >= int(nodes_.size()) || !fill) return;
    deferred_.emplace_back(node, std::move(fill));
}

bool SpeciesTree::isDeferred(int node) const {
    return std::any_of(deferred_.begin(), deferred_.end(),
                       [node](const auto& d) { return d.first == node; });
}

void SpeciesTree::complete() const {
    // A function adds through functions that complete the tree: those return at once, and
    // the next deferred function runs after this one, not inside it.
    if (completing_) return;
    completing_ = true;
    while (!deferred_.empty()) {
        const std::function<void()> fill = std::move(deferred_.front().second);
        deferred_.erase(deferred_.begin());
        fill();
    }
    completing_ = false;
}

void SpeciesTree::clear() {
    deferred_.clear();
    nodes_.clear();
    roots_.clear();
    byKey_.clear();
    unsorted_.clear();
}

}  // namespace kb
