#include "documents/speciestreemodel.h"

#include "documents/speciespanes.h"

namespace documents {

SpeciesTreeModel::SpeciesTreeModel(const kb::SpeciesTree& tree, QObject* parent)
    : QAbstractItemModel(parent), tree_(tree) {
    row_.assign(size_t(tree_.size()), 0);
    open_.assign(size_t(tree_.size()), false);
    const auto& roots = tree_.roots();
    for (size_t r = 0; r < roots.size(); ++r) row_[size_t(roots[r])] = int(r);
    for (const kb::SpeciesTree::Node& n : tree_.nodes())
        for (size_t c = 0; c < n.children.size(); ++c) row_[size_t(n.children[c])] = int(c);
}

const std::vector<int>& SpeciesTreeModel::childrenOf(const QModelIndex& parent) const {
    const int n = node(parent);
    return n < 0 ? tree_.roots() : tree_.node(n).children;
}

int SpeciesTreeModel::node(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) return -1;
    return int(index.internalId());
}

QModelIndex SpeciesTreeModel::indexOf(int node) const {
    if (node < 0 || node >= tree_.size()) return {};
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
    return indexOf(tree_.node(n).parent);
}

int SpeciesTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) return 0;
    return int(childrenOf(parent).size());
}

int SpeciesTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool SpeciesTreeModel::hasChildren(const QModelIndex& parent) const {
    return rowCount(parent) > 0;
}

QVariant SpeciesTreeModel::data(const QModelIndex& index, int role) const {
    const int n = node(index);
    if (n < 0) return {};
    const kb::SpeciesTree::Node& item = tree_.node(n);
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
