#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>

namespace kb {

struct TableData;
struct IndexOrder;

// A cursor over one table or stored query of the knowledge base. The rows are a snapshot
// read once from the database; the cursor is a position in it under one index, so moving
// is free and Seek is a binary search. Copies are independent cursors on the same rows.
class Table {
public:
    Table() = default;

    bool isValid() const { return data_ != nullptr; }
    QString name() const;
    QString errorString() const { return error_; }

    // Chooses the index by name: "PrimaryKey" is the table's primary key, any other name N
    // is the index N of this table. The cursor moves to the first row of the new order.
    bool setIndex(const QString& indexName);
    QString indexName() const { return indexName_; }

    // Seek "=": positions on the first row whose index key equals the values given (a prefix
    // of the key's columns). Text compares case-insensitively. Returns !noMatch().
    bool seek(const QVariantList& keys);
    bool seek(const QVariant& key) { return seek(QVariantList{key}); }
    bool noMatch() const { return noMatch_; }

    // A field of the current row by name (case-insensitive); an empty field is a null
    // variant. ok is false, and the result null, when there is no current row or no field.
    QVariant field(const QString& fieldName, bool* ok = nullptr) const;
    // The same for a name written in the code, looked up without making a string of it.
    QVariant field(QLatin1String fieldName, bool* ok = nullptr) const;
    bool hasField(const QString& fieldName) const;
    // A field's column, looked up once for a walk over many rows (-1 when absent), and the
    // current row's value in it (null when there is no row or no such column).
    int fieldIndex(const QString& fieldName) const;
    QVariant fieldAt(int column) const;
    QStringList fieldNames() const;

    void moveFirst();
    void moveNext();
    void moveLast();
    void movePrevious();
    bool eof() const;
    bool bof() const { return position_ < 0; }
    bool hasCurrentRow() const;
    int recordCount() const;
    // The position in the current order (0 = first row); -1 before the first row.
    int position() const { return position_; }
    void setPosition(int position);

private:
    friend class Database;
    Table(std::shared_ptr<const TableData> data, QString error);
    int rowAt(int position) const;
    QVariant fieldOfColumn(int column, bool* ok) const;

    std::shared_ptr<const TableData> data_;
    std::shared_ptr<const IndexOrder> order_;  // null: natural order of the snapshot
    QString indexName_;
    QString error_;
    int position_ = 0;
    bool noMatch_ = false;
};

}  // namespace kb
