#include "kb/table.h"

#include "kb/tabledata.h"

#include <algorithm>

namespace kb {

Table::Table(std::shared_ptr<const TableData> data, QString error)
    : data_(std::move(data)), error_(std::move(error)) {
    if (data_) setIndex(QStringLiteral("PrimaryKey"));
}

QString Table::name() const {
    return data_ ? data_->name : QString();
}

bool Table::setIndex(const QString& indexName) {
    if (!data_) return false;
    auto order = data_->order(indexName);
    if (!order) {
        // A table without that index keeps its order; the natural order stands in for a
        // missing primary key (stored queries have none).
        if (indexName.compare(QLatin1String("PrimaryKey"), Qt::CaseInsensitive) != 0) {
            error_ =
                QStringLiteral("The table \"%1\" has no index \"%2\"").arg(data_->name, indexName);
            return false;
        }
    }
    order_ = std::move(order);
    indexName_ = indexName;
    position_ = 0;
    noMatch_ = false;
    return true;
}

int Table::rowAt(int position) const {
    return order_ ? order_->rows[size_t(position)] : position;
}

namespace {

// A key value compares with a column as the column's type does: a number sought in a text
// column is its decimal text, a numeric text sought in a number column is its number.
QVariant coerceKey(const QVariant& key, bool numericColumn) {
    if (key.isNull()) return key;
    const int type = key.typeId();
    const bool keyIsText = type == QMetaType::QString || type == QMetaType::QChar;
    if (numericColumn && keyIsText) {
        bool ok = false;
        const QString t = key.toString().trimmed();
        const qlonglong n = t.toLongLong(&ok);
        if (ok) return n;
        const double d = t.toDouble(&ok);
        if (ok) return d;
        return key;
    }
    if (!numericColumn && !keyIsText && type != QMetaType::QByteArray) {
        if (type == QMetaType::Bool) return QString::number(key.toBool() ? -1 : 0);
        return key.toString();
    }
    if (type == QMetaType::Bool) return qlonglong(key.toBool() ? -1 : 0);
    return key;
}

}  // namespace

bool Table::seek(const QVariantList& keys) {
    noMatch_ = true;
    if (!data_ || !order_ || keys.isEmpty() || size_t(keys.size()) > order_->columns.size()) {
        position_ = recordCount();
        return false;
    }
    QVariantList wanted;
    for (int i = 0; i < keys.size(); ++i)
        wanted << coerceKey(keys[i], data_->numericColumn[size_t(order_->columns[size_t(i)])]);

    auto cmp = [&](int row) {
        for (int i = 0; i < wanted.size(); ++i) {
            const int c = compareValues(data_->cell(row, order_->columns[size_t(i)]), wanted[i]);
            if (c != 0) return c;
        }
        return 0;
    };
    const auto& rows = order_->rows;
    const auto it =
        std::partition_point(rows.begin(), rows.end(), [&](int row) { return cmp(row) < 0; });
    position_ = int(it - rows.begin());
    noMatch_ = it == rows.end() || cmp(*it) != 0;
    return !noMatch_;
}

bool Table::hasCurrentRow() const {
    return data_ && !noMatch_ && position_ >= 0 && position_ < data_->rowCount;
}

QVariant Table::field(const QString& fieldName, bool* ok) const {
    return fieldOfColumn(hasCurrentRow() ? data_->column(fieldName) : -1, ok);
}

QVariant Table::field(QLatin1String fieldName, bool* ok) const {
    return fieldOfColumn(hasCurrentRow() ? data_->column(fieldName) : -1, ok);
}

QVariant Table::fieldOfColumn(int column, bool* ok) const {
    if (ok) *ok = column >= 0;
    if (column < 0) return QVariant();
    return data_->cell(rowAt(position_), column);
}

int Table::fieldIndex(const QString& fieldName) const {
    return data_ ? data_->column(fieldName) : -1;
}

QVariant Table::fieldAt(int column) const {
    if (!hasCurrentRow() || column < 0 || column >= int(data_->columns.size())) return QVariant();
    return data_->cell(rowAt(position_), column);
}

bool Table::hasField(const QString& fieldName) const {
    return data_ && data_->column(fieldName) >= 0;
}

QStringList Table::fieldNames() const {
    return data_ ? data_->columns : QStringList();
}

void Table::moveFirst() {
    position_ = 0;
    noMatch_ = false;
}

void Table::moveNext() {
    if (data_ && position_ < data_->rowCount) ++position_;
    noMatch_ = false;
}

void Table::movePrevious() {
    if (position_ >= 0) --position_;
    noMatch_ = false;
}

void Table::moveLast() {
    position_ = data_ ? std::max(0, data_->rowCount - 1) : 0;
    noMatch_ = false;
}

bool Table::eof() const {
    return !data_ || position_ >= data_->rowCount;
}

int Table::recordCount() const {
    return data_ ? data_->rowCount : 0;
}

void Table::setPosition(int position) {
    position_ = position;
    noMatch_ = false;
}

}  // namespace kb
