#include "kb/tabledata.h"

#include "platform/textcompare.h"

#include <algorithm>

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

}  // namespace

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

}  // namespace kb
