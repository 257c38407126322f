#include "databasecheck.h"

#include <sqlite3.h>
#include <QFileInfo>

QString checkDatabase(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return QStringLiteral("the database %1 does not exist").arg(path);
    if (!info.isFile()) return QStringLiteral("the database %1 is not a file").arg(path);

    sqlite3* db = nullptr;
    const QByteArray name = path.toUtf8();
    int rc = sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    QString error;
    if (rc != SQLITE_OK) {
        error = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    } else {
        // Opening is lazy: a file that is not a database is found only when it is read.
        sqlite3_stmt* stmt = nullptr;
        rc = sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master", -1, &stmt, nullptr);
        if (rc == SQLITE_OK) rc = sqlite3_step(stmt);
        if (rc != SQLITE_OK && rc != SQLITE_ROW) error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    if (error.isEmpty()) return error;
    return QStringLiteral("%1 cannot be read as an SQLite database: %2").arg(path, error);
}
