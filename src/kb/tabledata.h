#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

namespace kb {

// The rows of one table in the order the file holds them, and the orders of the indexes
// asked for so far. Cells are stored row after row.
struct IndexOrder {
    std::vector<int> columns;  // key columns, most significant first
    std::vector<int> rows;     // row numbers in key order
};

struct TableData {
    QString name;
    QStringList columns;
    QHash<QString, int> columnByName;  // lower-case name -> column
    std::vector<bool> numericColumn;   // declared with a numeric type
    std::vector<QVariant> cells;
    int rowCount = 0;

    // Index definitions found in the file: lower-case index name -> key column names.
    QHash<QString, QStringList> indexColumns;
    // Orders built on first use; the snapshot is otherwise immutable.
    mutable QHash<QString, std::shared_ptr<const IndexOrder>> orders;

    const QVariant& cell(int row, int column) const {
        return cells[size_t(row) * size_t(columns.size()) + size_t(column)];
    }
    // Callers nearly always spell a field as the table does: that is found by a short walk
    // over the columns, without lowering the name (which costs far more than the walk).
    int column(const QString& name) const {
        for (qsizetype i = 0; i < columns.size(); ++i)
            if (columns[i] == name) return int(i);
        return columnByName.value(name.toLower(), -1);
    }
    std::shared_ptr<const IndexOrder> order(const QString& indexName) const;
};

// Total order used by every index: null, then numbers, then text (case-insensitive), then
// bytes. Returns <0, 0 or >0.
int compareValues(const QVariant& a, const QVariant& b);

}  // namespace kb
