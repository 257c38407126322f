#include "documents/specieslistmodel.h"

namespace documents {

SpeciesListModel::SpeciesListModel(LineText line, QObject* parent)
    : QAbstractListModel(parent), line_(std::move(line)) {}

void SpeciesListModel::reset(int lines) {
    beginResetModel();
    rows_ = std::max(0, lines);
    endResetModel();
}

int SpeciesListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

QVariant SpeciesListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || index.column() != 0) return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    return line_ ? line_(index.row()) : QString();
}

}  // namespace documents
