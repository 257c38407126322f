#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariantList>

struct sqlite3;
struct sqlite3_stmt;

namespace authoring {

// Writes the knowledge-base file: the twelve tables under their own names, their indexes
// and the stored queries of common names. The file is built under a temporary name in one
// transaction and renamed over the target only by finish(), so a failed build never leaves
// a half-written base where the program would find it.
class DatabaseWriter {
public:
    struct CommonNames {
        QString language;  // "Langue"
        QString column;    // column of "Flore" holding the names
    };

    DatabaseWriter() = default;
    ~DatabaseWriter();
    DatabaseWriter(const DatabaseWriter&) = delete;
    DatabaseWriter& operator=(const DatabaseWriter&) = delete;

    bool open(const QString& path, int constraintCount, const QStringList& commonNameColumns);
    // One row; values in the column order of the table (see databasewriter.cpp). Text that
    // is empty is stored as NULL.
    bool insert(const QString& table, const QVariantList& values);
    // Rows of "Communs_Langues" and their views, in any order: they are numbered and named
    // in the order of the languages.
    bool addCommonNames(QList<CommonNames> languages);
    // The optional table "Groupes" (question key, group name, order); written only for a
    // base that groups its questions, so that other bases keep exactly the twelve tables.
    bool addGroupTable();
    // The optional table "Mesures" (one row per state of a question answered by a number);
    // written only for a base that has such a question.
    bool addMeasureTable();
    // The optional table "Non_Codes" (number, species name, question key): the questions
    // each species leaves uncoded; written only when some species does.
    bool addUncodedTable();
    // The optional table "Textes" (texts in other languages); written only for a base whose
    // source translates something.
    bool addTextTable();
    bool finish();
    void abandon();
    QString errorString() const { return m_error; }

    static QStringList constraintColumns(int count);

private:
    bool exec(const QString& sql);
    bool sqliteFailed(const QString& what);

    sqlite3* m_db = nullptr;
    QString m_path, m_tempPath;
    QHash<QString, sqlite3_stmt*> m_inserts;
    QString m_error;
};

}  // namespace authoring
