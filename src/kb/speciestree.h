#pragma once

#include <QHash>
#include <QString>
#include <functional>
#include <vector>

namespace kb {

// The tree of families, species and common names, as plain data for the window to show.
// Keys are unique in the whole tree (compared case-insensitively); children are kept in
// alphabetical order of their texts. Adding costs the same whatever the order of the names:
// children out of order are sorted once, when the tree is next read.
//
// A branch may be deferred: its children are added by a function run only when they are
// first needed. Every reader below but the "so far" ones, and every add, runs the deferred
// functions first, in the order they were deferred, so the tree reads as if they had run at
// once; a view reads "so far" and asks for a deferred branch when the user opens it.
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
        complete();
        return nodesSoFar();
    }
    const std::vector<int>& roots() const { return roots_; }  // deferring adds no root
    const Node& node(int i) const { return nodes()[size_t(i)]; }
    int size() const { return int(nodes().size()); }
    void clear();

    // Children of `node` to be added by `fill` when first needed. `fill` adds them through
    // this tree's own adding functions, and may add under other nodes as an add would.
    void defer(int node, std::function<void()> fill);
    bool isDeferred(int node) const;
    // Runs every deferred function, so that the tree is whole.
    void complete() const;
    // The nodes added so far, deferred branches left unread.
    const std::vector<Node>& nodesSoFar() const {
        sortPending();
        return nodes_;
    }
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
    // Deferred branches in the order deferred; a function leaves the list before it runs.
    mutable std::vector<std::pair<int, std::function<void()>>> deferred_;
    mutable bool completing_ = false;
};

}  // namespace kb
