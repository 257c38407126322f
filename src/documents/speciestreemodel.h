#pragma once

#include "kb/speciestree.h"

#include <QAbstractItemModel>
#include <vector>

namespace documents {

// The species tree as the view reads it: items are the tree's own nodes, nothing is copied,
// and only the rows painted are asked for. A branch shows the open book while expanded. A
// deferred branch shows as closed with children, and is read when the view first opens it.
// Each item carries its key in Qt::UserRole and its tag in Qt::UserRole + 1.
class SpeciesTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    static constexpr int KeyRole = Qt::UserRole;
    static constexpr int TagRole = Qt::UserRole + 1;

    // The tree must outlive the model, and changes only through the model's fetchMore.
    explicit SpeciesTreeModel(const kb::SpeciesTree& tree, QObject* parent = nullptr);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // The node of an item, -1 for none; the item of a node.
    int node(const QModelIndex& index) const;
    QModelIndex indexOf(int node) const;
    // Expanding shows the open book, collapsing the closed one.
    void setOpen(const QModelIndex& index, bool open);

private:
    const std::vector<int>& childrenOf(const QModelIndex& parent) const;
    void numberRows();

    const kb::SpeciesTree& tree_;
    std::vector<int> row_;    // each node's row under its parent
    std::vector<bool> open_;  // by node
};

}  // namespace documents
