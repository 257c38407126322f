#include "documents/specieslistmodel.h"

#include "platform/plaintext.h"

namespace documents {

SpeciesListModel::SpeciesListModel(LineText line, QObject* parent)
    : QAbstractListModel(parent), line_(std::move(line)) {}

void SpeciesListModel::reset(int lines) {
    lines = std::max(0, lines);
    if (lines != rows_) {
        beginResetModel();
        rows_ = lines;
        endResetModel();
    }
    emit linesReplaced();
}

int SpeciesListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

QVariant SpeciesListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || index.column() != 0) return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    const QString line = line_ ? line_(index.row()) : QString();
    return role == Qt::ToolTipRole ? platform::plainToolTip(line) : line;
}

}  // namespace documents
