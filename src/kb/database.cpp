#include "kb/database.h"

#include "kb/tabledata.h"
#include "platform/boundedfile.h"
#include "platform/paths.h"

#include <sqlite3.h>

#include <QFileInfo>

#include <cstring>

namespace kb {

namespace {

QString quoted(const QString& identifier) {
    QString q = identifier;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString text(const unsigned char* s) {
    if (!s) return QString();
    // Most cells are plain ASCII codes and names, which widen directly; the UTF-8 decoder
    // costs more than the copy for such short texts.
    const char* c = reinterpret_cast<const char*>(s);
    const size_t n = std::strlen(c);
    for (size_t i = 0; i < n; ++i)
        if (s[i] >= 0x80) return QString::fromUtf8(c, qsizetype(n));
    return QString::fromLatin1(c, qsizetype(n));
}

bool isNumericType(const QString& declared) {
    const QString t = declared.toUpper();
    return t.contains(QLatin1String("INT")) || t.contains(QLatin1String("REAL")) ||
           t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("DOUB")) ||
           t.contains(QLatin1String("NUM")) || t.contains(QLatin1String("BOOL")) ||
           t.contains(QLatin1String("DEC"));
}

// Runs a query and calls row() for every row; false with the SQLite message on failure.
template <typename Row>
bool each(sqlite3* db, const QString& sql, QString* error, Row row) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
        *error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(st);
        return false;
    }
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) row(st);
    const bool ok = rc == SQLITE_DONE;
    if (!ok) *error = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(st);
    return ok;
}

// Keeps a cell as the file holds it; the table makes a value of it when its column is read.
// A text ends at its first zero, as a C string does.
void store(sqlite3_stmt* st, int i, TableData& data) {
    StoredCell c;
    switch (sqlite3_column_type(st, i)) {
        case SQLITE_INTEGER:
            c.kind = StoredCell::Integer;
            c.value = sqlite3_column_int64(st, i);
            break;
        case SQLITE_FLOAT: {
            const double d = sqlite3_column_double(st, i);
            static_assert(sizeof d == sizeof c.value);
            std::memcpy(&c.value, &d, sizeof d);
            c.kind = StoredCell::Real;
            break;
        }
        case SQLITE_TEXT: {
            const char* s = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
            const size_t n = s ? qstrnlen(s, size_t(sqlite3_column_bytes(st, i))) : 0;
            if (n == 0) break;  // an empty field reads as null
            c.kind = StoredCell::Text;
            c.value = std::int64_t(data.bytes.size());
            c.size = std::uint32_t(n);
            data.bytes.append(s, n);
            break;
        }
        case SQLITE_BLOB: {
            const auto* b = static_cast<const char*>(sqlite3_column_blob(st, i));
            const size_t n = size_t(sqlite3_column_bytes(st, i));
            c.kind = StoredCell::Bytes;
            c.value = std::int64_t(data.bytes.size());
            c.size = std::uint32_t(n);
            if (n > 0) data.bytes.append(b, n);
            break;
        }
        default:
            break;
    }
    data.stored.push_back(c);
}

}  // namespace

Database::~Database() {
    close();
}

void Database::fail(int code, const QString& message) {
    errorCode_ = code == 0 ? SQLITE_ERROR : code;
    errorString_ = message;
}

bool Database::open(const QString& path) {
    close();
    errorCode_ = 0;
    errorString_.clear();
    path_ = platform::toLocalPath(path);
    // A FIFO, a device or a folder is named for what it is: none of them is missing.
    if (const auto file = platform::BoundedFile::inspect(path_); !file.ok()) {
        fail(SQLITE_CANTOPEN, file.status == platform::BoundedFile::Status::Missing
                                  ? QStringLiteral("The file %1 does not exist").arg(path_)
                                  : file.errorString);
        return false;
    }
    const int rc = sqlite3_open_v2(path_.toUtf8().constData(), &db_,
                                   SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        fail(rc, QString::fromUtf8(db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc)));
        close();
        return false;
    }
    // The file comes from outside: no schema function may run, nothing may be changed.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_exec(db_, "PRAGMA query_only=ON", nullptr, nullptr, nullptr);
    QString error;
    if (!each(db_, QStringLiteral("SELECT count(*) FROM sqlite_master"), &error,
              [](sqlite3_stmt*) {})) {
        const int code = sqlite3_extended_errcode(db_) & 0xff;
        fail(code, QStringLiteral("%1 is not a readable knowledge base: %2").arg(path_, error));
        close();
        return false;
    }
    return true;
}

void Database::close() {
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
    tables_.clear();
    queries_.clear();
    queriesRead_ = false;
}

bool Database::hasTable(const QString& name) {
    if (!db_) return false;
    bool found = false;
    QString error;
    each(
        db_,
        QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND name=%1 COLLATE NOCASE")
            .arg(QLatin1Char('\'') + QString(name).replace(QLatin1Char('\''), QLatin1String("''")) +
                 QLatin1Char('\'')),
        &error, [&](sqlite3_stmt*) { found = true; });
    return found;
}

std::shared_ptr<const TableData> Database::read(const QString& name, bool isView) {
    const QString key = name.toLower();
    if (auto it = tables_.constFind(key); it != tables_.constEnd()) return *it;
    if (!db_) {
        fail(SQLITE_MISUSE, QStringLiteral("The knowledge base is not open"));
        return nullptr;
    }
    if (!isView && !hasTable(name)) {
        fail(SQLITE_ERROR, QStringLiteral("The knowledge base has no table \"%1\"").arg(name));
        return nullptr;
    }
    auto data = std::make_shared<TableData>();
    data->name = name;
    QString error;
    QStringList pk;
    QList<int> pkOrder;
    bool ok =
        each(db_, QStringLiteral("PRAGMA table_info(%1)").arg(quoted(name)), &error,
             [&](sqlite3_stmt* st) {
                 const QString col = text(sqlite3_column_text(st, 1));
                 data->columnByName.insert(col.toLower(), int(data->columns.size()));
                 data->columns << col;
                 data->numericColumn.push_back(isNumericType(text(sqlite3_column_text(st, 2))));
                 const int pkPos = sqlite3_column_int(st, 5);
                 if (pkPos > 0) {
                     pk << col;
                     pkOrder << pkPos;
                 }
             });
    // Key columns in the order the primary key declares them.
    QStringList pkSorted(pk.size());
    for (int i = 0; i < pk.size(); ++i)
        if (pkOrder[i] >= 1 && pkOrder[i] <= pk.size()) pkSorted[pkOrder[i] - 1] = pk[i];
    if (!pk.isEmpty()) data->indexColumns.insert(QStringLiteral("primarykey"), pkSorted);

    if (ok && !isView) ok = readIndexes(name, *data, &error);
    if (ok) ok = readRows(name, *data, &error);
    if (!ok || data->columns.isEmpty()) {
        fail(sqlite3_errcode(db_),
             QStringLiteral("The table \"%1\" cannot be read: %2").arg(name, error));
        return nullptr;
    }
    tables_.insert(key, data);
    return data;
}

bool Database::readIndexes(const QString& name, TableData& data, QString* error) {
    QStringList indexes;
    if (!each(db_, QStringLiteral("PRAGMA index_list(%1)").arg(quoted(name)), error,
              [&](sqlite3_stmt* st) { indexes << text(sqlite3_column_text(st, 1)); }))
        return false;
    // An index N of table T is stored as T_N.
    const QString prefix = name.toLower() + QLatin1Char('_');
    for (const QString& index : indexes) {
        if (!index.toLower().startsWith(prefix)) continue;
        QStringList cols;
        if (!each(db_, QStringLiteral("PRAGMA index_info(%1)").arg(quoted(index)), error,
                  [&](sqlite3_stmt* st) { cols << text(sqlite3_column_text(st, 2)); }))
            return false;
        if (!cols.contains(QString()))
            data.indexColumns.insert(index.mid(prefix.size()).toLower(), cols);
    }
    return true;
}

bool Database::readRows(const QString& name, TableData& data, QString* error) {
    const int n = int(data.columns.size());
    return each(db_, QStringLiteral("SELECT * FROM %1").arg(quoted(name)), error,
                [&](sqlite3_stmt* st) {
                    const int count = std::min(n, sqlite3_column_count(st));
                    for (int i = 0; i < n; ++i) {
                        if (i < count)
                            store(st, i, data);
                        else
                            data.stored.push_back(StoredCell{});
                    }
                    ++data.rowCount;
                });
}

Table Database::openTable(const QString& name) {
    auto data = read(name, false);
    return data ? Table(data, QString()) : Table(nullptr, errorString_);
}

QStringList Database::queryNames() {
    if (!queriesRead_ && db_) {
        QString error;
        QStringList names;
        if (each(db_,
                 QStringLiteral("SELECT name FROM sqlite_master WHERE type='view' "
                                "ORDER BY name COLLATE NOCASE, name"),
                 &error, [&](sqlite3_stmt* st) { names << text(sqlite3_column_text(st, 0)); })) {
            queries_ = names;
            queriesRead_ = true;
        }
    }
    return queries_;
}

Table Database::openQuery(int k) {
    const QStringList names = queryNames();
    if (k < 0 || k >= names.size()) {
        fail(SQLITE_ERROR,
             QStringLiteral("The knowledge base has no stored query number %1").arg(k));
        return Table(nullptr, errorString_);
    }
    auto data = read(names[k], true);
    return data ? Table(data, QString()) : Table(nullptr, errorString_);
}

}  // namespace kb
