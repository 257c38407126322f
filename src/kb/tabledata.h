#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kb {

// The rows of one table in the order the file holds them, and the orders of the indexes
// asked for so far. Cells are stored row after row.
struct IndexOrder {
    std::vector<int> columns;  // key columns, most significant first
    std::vector<int> rows;     // row numbers in key order
};

// A cell as the file holds it. Texts and bytes lie in the table's byte store; a text is
// never empty (an empty field is stored as null).
struct StoredCell {
    enum Kind : std::uint8_t { Null, Integer, Real, Text, Bytes };
    std::int64_t value = 0;  // the integer, the bits of the real, or the offset in the store
    std::uint32_t size = 0;  // bytes of a text or blob
    Kind kind = Null;
};

struct TableData {
    QString name;
    QStringList columns;
    QHash<QString, int> columnByName;  // lower-case name -> column
    std::vector<bool> numericColumn;   // declared with a numeric type
    // The cells row after row as read, and the bytes of their texts and blobs. A column
    // becomes values when first read: a large table is read whole at start-up, and most of
    // its columns are not looked at then.
    std::vector<StoredCell> stored;
    std::string bytes;
    int rowCount = 0;

    // Index definitions found in the file: lower-case index name -> key column names.
    QHash<QString, QStringList> indexColumns;
    // Orders built on first use; the snapshot is otherwise immutable.
    mutable QHash<QString, std::shared_ptr<const IndexOrder>> orders;

    const QVariant& cell(int row, int column) const {
        if (size_t(column) >= decoded.size()) decoded.resize(size_t(columns.size()));
        const std::vector<QVariant>& values = decoded[size_t(column)];
        return values.empty() ? decodeColumn(column)[size_t(row)] : values[size_t(row)];
    }
    // True when every cell of the column is null or a text of ASCII characters only.
    bool asciiTextColumn(int column) const;
    // Callers nearly always spell a field as the table does: that is found by a short walk
    // over the columns, without lowering the name (which costs far more than the walk).
    int column(const QString& name) const {
        for (qsizetype i = 0; i < columns.size(); ++i)
            if (columns[i] == name) return int(i);
        return columnByName.value(name.toLower(), -1);
    }
    int column(QLatin1String name) const {
        for (qsizetype i = 0; i < columns.size(); ++i)
            if (columns[i] == name) return int(i);
        return columnByName.value(QString(name).toLower(), -1);
    }
    std::shared_ptr<const IndexOrder> order(const QString& indexName) const;

private:
    const std::vector<QVariant>& decodeColumn(int column) const;
    void sortByAsciiKeys(IndexOrder& order) const;
    QVariant value(const StoredCell& c) const;
    // The values of the columns read so far, by column; empty until then.
    mutable std::vector<std::vector<QVariant>> decoded;
};

// Total order used by every index: null, then numbers, then text (case-insensitive), then
// bytes. Returns <0, 0 or >0.
int compareValues(const QVariant& a, const QVariant& b);

}  // namespace kb
