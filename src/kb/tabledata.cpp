#include "kb/tabledata.h"

#include "platform/textcompare.h"

#include <algorithm>
#include <cstring>

namespace kb {

namespace {

int kindOf(const QVariant& v) {
    if (v.isNull()) return 0;
    switch (v.typeId()) {
        case QMetaType::LongLong:
        case QMetaType::Int:
        case QMetaType::Double:
        case QMetaType::Bool:
        case QMetaType::Short:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
            return 1;
        case QMetaType::QByteArray:
            return 3;
        default:
            return 2;
    }
}

int compareNumbers(const QVariant& a, const QVariant& b) {
    if (a.typeId() != QMetaType::Double && b.typeId() != QMetaType::Double) {
        const qlonglong x = a.toLongLong(), y = b.toLongLong();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const double x = a.toDouble(), y = b.toDouble();
    return x < y ? -1 : (x > y ? 1 : 0);
}

// Most cells are plain ASCII codes and names, which widen directly; the UTF-8 decoder
// costs more than the copy for such short texts.
QString textOf(const char* s, qsizetype n) {
    for (qsizetype i = 0; i < n; ++i)
        if (static_cast<unsigned char>(s[i]) >= 0x80) return QString::fromUtf8(s, n);
    return QString::fromLatin1(s, n);
}

// The sort key of a row whose key cells are all null or ASCII text: each cell's text with
// A to Z lowered, and a zero after it. Keys then compare byte by byte as compareValues
// compares their cells: null (a lone zero) before any text, a text before a longer one it
// begins, a column before the next.
std::string asciiKey(const TableData& t, int row, const std::vector<int>& columns) {
    std::string key;
    for (int col : columns) {
        const StoredCell& c = t.stored[size_t(row) * size_t(t.columns.size()) + size_t(col)];
        if (c.kind == StoredCell::Text) {
            const char* p = t.bytes.data() + c.value;
            for (std::uint32_t i = 0; i < c.size; ++i)
                key += p[i] >= 'A' && p[i] <= 'Z' ? char(p[i] + ('a' - 'A')) : p[i];
        }
        key += '\0';
    }
    return key;
}

}  // namespace

QVariant TableData::value(const StoredCell& c) const {
    switch (c.kind) {
        case StoredCell::Integer:
            return QVariant(qlonglong(c.value));
        case StoredCell::Real: {
            double d;
            static_assert(sizeof d == sizeof c.value);
            std::memcpy(&d, &c.value, sizeof d);
            return QVariant(d);
        }
        case StoredCell::Text:
            return QVariant(textOf(bytes.data() + c.value, qsizetype(c.size)));
        case StoredCell::Bytes:
            return QVariant(QByteArray(bytes.data() + c.value, qsizetype(c.size)));
        default:
            return QVariant();
    }
}

const std::vector<QVariant>& TableData::decodeColumn(int column) const {
    std::vector<QVariant>& values = decoded[size_t(column)];
    values.reserve(size_t(rowCount));
    const size_t width = size_t(columns.size());
    for (int r = 0; r < rowCount; ++r)
        values.push_back(value(stored[size_t(r) * width + size_t(column)]));
    return values;
}

bool TableData::asciiTextColumn(int column) const {
    const size_t width = size_t(columns.size());
    for (int r = 0; r < rowCount; ++r) {
        const StoredCell& c = stored[size_t(r) * width + size_t(column)];
        if (c.kind == StoredCell::Null) continue;
        if (c.kind != StoredCell::Text) return false;
        const char* p = bytes.data() + c.value;
        for (std::uint32_t i = 0; i < c.size; ++i)
            if (static_cast<unsigned char>(p[i]) >= 0x80) return false;
    }
    return true;
}

int compareValues(const QVariant& a, const QVariant& b) {
    const int ka = kindOf(a), kb = kindOf(b);
    if (ka != kb) return ka < kb ? -1 : 1;
    switch (ka) {
        case 0:
            return 0;
        case 1:
            return compareNumbers(a, b);
        case 2:
            // Cells read from the file hold their text; only other kinds need converting.
            if (a.typeId() == QMetaType::QString && b.typeId() == QMetaType::QString)
                return platform::compareIgnoringCase(*static_cast<const QString*>(a.constData()),
                                                     *static_cast<const QString*>(b.constData()));
            return platform::compareIgnoringCase(a.toString(), b.toString());
        default: {
            const QByteArray x = a.toByteArray(), y = b.toByteArray();
            return x < y ? -1 : (x == y ? 0 : 1);
        }
    }
}

std::shared_ptr<const IndexOrder> TableData::order(const QString& indexName) const {
    const QString key = indexName.toLower();
    if (auto it = orders.constFind(key); it != orders.constEnd()) return *it;
    const auto def = indexColumns.constFind(key);
    if (def == indexColumns.constEnd()) return nullptr;

    auto built = std::make_shared<IndexOrder>();
    for (const QString& c : *def) {
        const int col = column(c);
        if (col < 0) return nullptr;
        built->columns.push_back(col);
    }
    built->rows.resize(size_t(rowCount));
    for (int r = 0; r < rowCount; ++r) built->rows[size_t(r)] = r;
    if (std::all_of(built->columns.begin(), built->columns.end(),
                    [this](int col) { return asciiTextColumn(col); })) {
        sortByAsciiKeys(*built);
        orders.insert(key, built);
        return built;
    }
    const auto before = [&](int x, int y) {
        for (int col : built->columns) {
            const int c = compareValues(cell(x, col), cell(y, col));
            if (c != 0) return c < 0;
        }
        return false;
    };
    // Stable, so rows with equal keys keep the order of the file. Files are often written in
    // key order already: one pass tells, and spares the sort.
    if (!std::is_sorted(built->rows.begin(), built->rows.end(), before))
        std::stable_sort(built->rows.begin(), built->rows.end(), before);
    orders.insert(key, built);
    return built;
}

// The order of keys made of ASCII texts, by keys folded once per row rather than once per
// comparison; the same order compareValues gives.
void TableData::sortByAsciiKeys(IndexOrder& order) const {
    std::vector<std::string> keys(static_cast<size_t>(rowCount));
    for (int r = 0; r < rowCount; ++r) keys[size_t(r)] = asciiKey(*this, r, order.columns);
    const auto before = [&](int x, int y) { return keys[size_t(x)] < keys[size_t(y)]; };
    if (!std::is_sorted(order.rows.begin(), order.rows.end(), before))
        std::stable_sort(order.rows.begin(), order.rows.end(), before);
}

}  // namespace kb
