#pragma once

#include <QHash>
#include <QString>
#include <vector>

namespace kb {

// The tree of families, species and common names, as plain data for the window to show.
// Keys are unique in the whole tree (compared case-insensitively); children are kept in
// alphabetical order of their texts. Adding costs the same whatever the order of the names:
// children out of order are sorted once, when the tree is next read.
class SpeciesTree {
public:
    struct Node {
        QString key;
        QString text;
        QString image;
        QString tag;
        int parent = -1;            // -1 for a root
        std::vector<int> children;  // indices into nodes(), in alphabetical order of text
    };

    // Adds a root, kept in the order added. Fails, adding nothing, when the key exists.
    bool addRoot(const QString& key, const QString& text, const QString& image, const QString& tag);
    // Adds a node under the node with key parentKey. Fails, adding nothing, when the key
    // exists or the parent does not; an empty parent key (a species of no family) is no
    // parent, so such a row never becomes a root.
    bool add(const QString& parentKey, const QString& key, const QString& text,
             const QString& image, const QString& tag);
    // The same under a parent already found (-1 adds nothing); returns the new node, or -1.
    int addUnder(int parent, const QString& key, const QString& text, const QString& image,
                 const QString& tag);

    int find(const QString& key) const;  // -1 when absent
    const std::vector<Node>& nodes() const {
        sortPending();
        return nodes_;
    }
    const std::vector<int>& roots() const { return roots_; }
    const Node& node(int i) const {
        sortPending();
        return nodes_[size_t(i)];
    }
    int size() const { return int(nodes_.size()); }
    void clear();
    // Room for `more` nodes beyond those held, so that a large key's tree grows without
    // rehashing its keys again and again.
    void reserve(int more);

private:
    int insert(int parent, const QString& key, const QString& text, const QString& image,
                const QString& tag);
    void sortPending() const;

    // Mutable only for the children's order, which reading settles.
    mutable std::vector<Node> nodes_;
    std::vector<int> roots_;
    QHash<QString, int> byKey_;          // case-folded key -> node
    mutable std::vector<int> unsorted_;  // parents whose last child came out of order
};

}  // namespace kb
