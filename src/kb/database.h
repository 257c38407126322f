#pragma once

#include "kb/table.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

struct sqlite3;

namespace kb {

// The knowledge-base file, opened read-only. Each table is read into memory the first time
// a cursor is opened on it and shared by every later cursor; the file is never written.
class Database {
public:
    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens the file read-only with an untrusted schema and checks that it is a database.
    // On failure errorCode() holds the SQLite result code (never 0) and errorString() says why.
    bool open(const QString& path);
    void close();
    bool isOpen() const { return db_ != nullptr; }
    QString path() const { return path_; }

    int errorCode() const { return errorCode_; }
    QString errorString() const { return errorString_; }

    // A cursor on a table, in the order of its "PrimaryKey" index. An unknown table gives an
    // invalid cursor and sets the error.
    Table openTable(const QString& name);
    bool hasTable(const QString& name);

    // Stored queries are the database's views, taken in ascending order of their names.
    QStringList queryNames();
    int queryCount() { return int(queryNames().size()); }
    Table openQuery(int k);

private:
    std::shared_ptr<const TableData> read(const QString& name, bool isView);
    bool readIndexes(const QString& name, TableData& data, QString* error);
    bool readRows(const QString& name, TableData& data, QString* error);
    void fail(int code, const QString& message);

    sqlite3* db_ = nullptr;
    QString path_;
    int errorCode_ = 0;
    QString errorString_;
    QHash<QString, std::shared_ptr<const TableData>> tables_;  // by lower-case name
    QStringList queries_;
    bool queriesRead_ = false;
};

}  // namespace kb
