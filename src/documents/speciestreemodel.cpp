#include "documents/speciestreemodel.h"

#include "documents/speciespanes.h"

namespace documents {

SpeciesTreeModel::SpeciesTreeModel(const kb::SpeciesTree& tree, QObject* parent)
    : QAbstractItemModel(parent), tree_(tree) {
    numberRows();
}

void SpeciesTreeModel::numberRows() {
    const auto& nodes = tree_.nodesSoFar();
    row_.assign(nodes.size(), 0);
    open_.resize(nodes.size(), false);
    const auto& roots = tree_.roots();
    for (size_t r = 0; r < roots.size(); ++r) row_[size_t(roots[r])] = int(r);
    for (const kb::SpeciesTree::Node& n : nodes)
        for (size_t c = 0; c < n.children.size(); ++c) row_[size_t(n.children[c])] = int(c);
}

const std::vector<int>& SpeciesTreeModel::childrenOf(const QModelIndex& parent) const {
    const int n = node(parent);
    return n < 0 ? tree_.roots() : tree_.nodesSoFar()[size_t(n)].children;
}

int SpeciesTreeModel::node(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) return -1;
    return int(index.internalId());
}

QModelIndex SpeciesTreeModel::indexOf(int node) const {
    if (node < 0 || node >= int(row_.size())) return {};
    return createIndex(row_[size_t(node)], 0, quintptr(node));
}

QModelIndex SpeciesTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) return {};
    const auto& children = childrenOf(parent);
    if (row >= int(children.size())) return {};
    return createIndex(row, 0, quintptr(children[size_t(row)]));
}

QModelIndex SpeciesTreeModel::parent(const QModelIndex& child) const {
    const int n = node(child);
    if (n < 0) return {};
    return indexOf(tree_.nodesSoFar()[size_t(n)].parent);
}

int SpeciesTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) return 0;
    return int(childrenOf(parent).size());
}

int SpeciesTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool SpeciesTreeModel::hasChildren(const QModelIndex& parent) const {
    return rowCount(parent) > 0 || canFetchMore(parent);
}

bool SpeciesTreeModel::canFetchMore(const QModelIndex& parent) const {
    const int n = node(parent);
    return n >= 0 && tree_.isDeferred(n);
}

// Reading a deferred branch may also add under nodes already shown (a name that is the key
// of a family joins it), so it is announced as a change of layout: the view lays the tree
// out again, and keeps what is open and selected through the nodes' persistent indexes.
void SpeciesTreeModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent)) return;
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    tree_.complete();
    numberRows();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before) after << indexOf(node(i));
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

QVariant SpeciesTreeModel::data(const QModelIndex& index, int role) const {
    const int n = node(index);
    if (n < 0) return {};
    const kb::SpeciesTree::Node& item = tree_.nodesSoFar()[size_t(n)];
    switch (role) {
        case Qt::DisplayRole:
            return item.text;
        case Qt::DecorationRole:
            return treeIcon(open_[size_t(n)] ? QStringLiteral("livre_ouvert") : item.image);
        case KeyRole:
            return item.key;
        case TagRole:
            return item.tag;
        default:
            return {};
    }
}

void SpeciesTreeModel::setOpen(const QModelIndex& index, bool open) {
    const int n = node(index);
    if (n < 0 || open_[size_t(n)] == open) return;
    open_[size_t(n)] = open;
    emit dataChanged(index, index, {Qt::DecorationRole});
}

}  // namespace documents
