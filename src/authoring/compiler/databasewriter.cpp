#include "authoring/compiler/databasewriter.h"

#include <sqlite3.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>

namespace authoring {

namespace {

struct TableDef {
    const char* name;
    const char* columns;  // column definitions, PRIMARY KEY included
    bool constraints;     // followed by the "C_" columns
    const char* indexes;  // "Name:column" pairs separated by ';' (index named Table_Name)
};

// The tables and fields the program reads, under their own names. Keys of text compare
// without case, as the program seeks them.
const TableDef kTables[] = {
    {"Parametres", R"("Parametre" TEXT COLLATE NOCASE PRIMARY KEY, "Etat" TEXT)", false, ""},
    {"Couleurs", R"("Numero" INTEGER PRIMARY KEY, "Code_Couleur" TEXT COLLATE NOCASE)", false, ""},
    {"Hierarchie", R"("Numero" INTEGER PRIMARY KEY, "Robot_Num" INTEGER, "Nom" TEXT)", true, ""},
    {"Clic_Zone",
     R"("Numero" INTEGER PRIMARY KEY, "Nom" TEXT COLLATE NOCASE, "Cadre" INTEGER,
        "Test_Cadre" INTEGER, "X1" INTEGER, "X2" INTEGER, "Y1" INTEGER, "Y2" INTEGER)",
     true, ""},
    {"Caracteres",
     R"("NUM" INTEGER PRIMARY KEY, "ID_CARAC" TEXT COLLATE NOCASE NOT NULL,
        "Objet" TEXT COLLATE NOCASE, "TipText" TEXT)",
     false, "ID_CARAC:ID_CARAC"},
    {"Flore",
     R"("Espece" TEXT COLLATE NOCASE PRIMARY KEY, "Famille" TEXT COLLATE NOCASE,
        "Code" TEXT COLLATE NOCASE NOT NULL, "Legende" TEXT)",
     false, "Code:Code;Famille:Famille"},
    {"Objets_Fic",
     R"("Objet" TEXT COLLATE NOCASE PRIMARY KEY, "Lignes" INTEGER, "Colonnes" INTEGER,
        "Index_Car" INTEGER, "Nb_Car" INTEGER, "Cadre" INTEGER, "Desc_Num" INTEGER,
        "TipText" TEXT, "Popup" TEXT, "Joker" INTEGER)",
     false, "Objet:Objet;Desc_Num:Desc_Num"},
    {"Communs_Langues", R"("Numero" INTEGER PRIMARY KEY, "Langue" TEXT COLLATE NOCASE)", false,
     "Langue:Langue"},
    {"But_Deter",
     R"("Numero" INTEGER PRIMARY KEY, "Caption" TEXT, "File" TEXT, "TipText" TEXT,
        "Key" TEXT COLLATE NOCASE)",
     false, ""},
    {"But_Quest", R"("Numero" INTEGER PRIMARY KEY, "Caption" TEXT, "File" TEXT, "TipText" TEXT)",
     false, ""},
    {"Descendance",
     R"("Numero" INTEGER PRIMARY KEY, "ID_CARAC" TEXT COLLATE NOCASE,
        "Objet" TEXT COLLATE NOCASE)",
     false, "ID_CARAC:ID_CARAC"},
    {"Contradictions", R"("Objet" TEXT COLLATE NOCASE PRIMARY KEY, "Bouton" INTEGER, "Popup" TEXT)",
     false, ""},
};

QString quoted(const QString& name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}

}  // namespace

QStringList DatabaseWriter::constraintColumns(int count) {
    QStringList names;
    for (int i = 0; i < count; ++i) names << QStringLiteral("C_%1").arg(i);
    return names;
}

DatabaseWriter::~DatabaseWriter() {
    abandon();
}

bool DatabaseWriter::sqliteFailed(const QString& what) {
    m_error = what + QStringLiteral(": ") +
              (m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("no database"));
    return false;
}

bool DatabaseWriter::exec(const QString& sql) {
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    m_error = QString::fromUtf8(message ? message : "SQLite error") + QStringLiteral(" in: ") + sql;
    sqlite3_free(message);
    return false;
}

bool DatabaseWriter::open(const QString& path, int constraintCount,
                          const QStringList& commonNameColumns) {
    m_path = path;
    m_tempPath = QFileInfo(path).dir().filePath(QStringLiteral(".") + QFileInfo(path).fileName() +
                                                QStringLiteral(".part"));
    QFile::remove(m_tempPath);
    if (sqlite3_open_v2(m_tempPath.toUtf8().constData(), &m_db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
        return sqliteFailed(QStringLiteral("cannot create ") + m_tempPath);
    if (!exec(QStringLiteral("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN")))
        return false;
    const QStringList constraints = constraintColumns(constraintCount);
    for (const TableDef& t : kTables) {
        QString columns = QString::fromUtf8(t.columns);
        if (t.constraints)
            for (const QString& c : constraints)
                columns += QStringLiteral(", ") + quoted(c) + " TEXT";
        if (QLatin1String(t.name) == QLatin1String("Flore"))
            for (const QString& c : commonNameColumns)
                columns += QStringLiteral(", ") + quoted(c) + " TEXT";
        if (!exec(QStringLiteral("CREATE TABLE \"%1\" (%2)").arg(QLatin1String(t.name), columns)))
            return false;
    }
    return true;
}

bool DatabaseWriter::addGroupTable() {
    return exec(QStringLiteral(R"(CREATE TABLE "Groupes" ("Objet" TEXT COLLATE NOCASE PRIMARY KEY,
        "Groupe" TEXT NOT NULL, "Ordre" INTEGER NOT NULL))"));
}

bool DatabaseWriter::addMeasureTable() {
    return exec(
        QStringLiteral(R"(CREATE TABLE "Mesures" ("ID_CARAC" TEXT COLLATE NOCASE PRIMARY KEY,
        "Objet" TEXT COLLATE NOCASE, "Unite" TEXT, "Bas" REAL, "Haut" REAL,
        "Bas_Inclus" INTEGER, "Haut_Inclus" INTEGER))"));
}

bool DatabaseWriter::addUncodedTable() {
    return exec(QStringLiteral(R"(CREATE TABLE "Non_Codes" ("Numero" INTEGER PRIMARY KEY,
        "Espece" TEXT COLLATE NOCASE, "Objet" TEXT COLLATE NOCASE))")) &&
           exec(QStringLiteral(
               R"(CREATE INDEX "Non_Codes_Espece" ON "Non_Codes" ("Espece" COLLATE NOCASE))"));
}

bool DatabaseWriter::addTextTable() {
    return exec(QStringLiteral(R"(CREATE TABLE "Textes" ("Numero" INTEGER PRIMARY KEY,
        "Langue" TEXT COLLATE NOCASE, "Sorte" TEXT COLLATE NOCASE, "Cle" TEXT COLLATE NOCASE,
        "Texte" TEXT); CREATE INDEX "Textes_Langue" ON "Textes" ("Langue"))"));
}

bool DatabaseWriter::insert(const QString& table, const QVariantList& values) {
    sqlite3_stmt* st = m_inserts.value(table);
    if (!st) {
        QStringList marks(values.size(), QStringLiteral("?"));
        const QString sql = QStringLiteral("INSERT INTO %1 VALUES (%2)")
                                .arg(quoted(table), marks.join(QLatin1Char(',')));
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
            return sqliteFailed(QStringLiteral("table ") + table);
        m_inserts.insert(table, st);
    }
    sqlite3_reset(st);
    for (int i = 0; i < values.size(); ++i) {
        const QVariant& v = values[i];
        if (v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty())) {
            sqlite3_bind_null(st, i + 1);
        } else if (v.typeId() == QMetaType::QString) {
            const QByteArray text = v.toString().toUtf8();
            sqlite3_bind_text(st, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        } else if (v.typeId() == QMetaType::Double) {
            sqlite3_bind_double(st, i + 1, v.toDouble());
        } else if (v.typeId() == QMetaType::Bool) {
            sqlite3_bind_int(st, i + 1, v.toBool() ? -1 : 0);
        } else {
            sqlite3_bind_int64(st, i + 1, v.toLongLong());
        }
    }
    if (sqlite3_step(st) != SQLITE_DONE) return sqliteFailed(QStringLiteral("table ") + table);
    return true;
}

// The program takes stored query k for the k-th language in "Langue" order, and takes the
// queries in the order of their names: the views are numbered in that order.
bool DatabaseWriter::addCommonNames(QList<CommonNames> languages) {
    std::stable_sort(languages.begin(), languages.end(), [](const auto& a, const auto& b) {
        return a.language.compare(b.language, Qt::CaseInsensitive) < 0;
    });
    for (int k = 0; k < languages.size(); ++k) {
        if (!insert(QStringLiteral("Communs_Langues"), {k + 1, languages[k].language}))
            return false;
        const QString view = QStringLiteral("Communs_%1").arg(k + 1, 2, 10, QLatin1Char('0'));
        const QString column = quoted(languages[k].column);
        if (!exec(QStringLiteral("CREATE VIEW %1 AS SELECT %2 AS \"Nom\", \"Code\", \"Espece\", "
                                 "\"Famille\" FROM \"Flore\" WHERE %2 IS NOT NULL ORDER BY %2")
                      .arg(quoted(view), column)))
            return false;
    }
    return true;
}

bool DatabaseWriter::finish() {
    for (sqlite3_stmt* st : std::as_const(m_inserts)) sqlite3_finalize(st);
    m_inserts.clear();
    for (const TableDef& t : kTables) {
        for (const QString& pair : QString::fromUtf8(t.indexes).split(';', Qt::SkipEmptyParts)) {
            const QString name = pair.section(':', 0, 0), column = pair.section(':', 1, 1);
            if (!exec(QStringLiteral("CREATE INDEX \"%1_%2\" ON \"%1\" (%3)")
                          .arg(QLatin1String(t.name), name, quoted(column))))
                return false;
        }
    }
    if (!exec(QStringLiteral("COMMIT")) || !exec(QStringLiteral("VACUUM"))) return false;
    sqlite3_close(m_db);
    m_db = nullptr;
    // rename() replaces an existing file in one step: there is never a moment without one.
    if (::rename(QFile::encodeName(m_tempPath).constData(),
                 QFile::encodeName(m_path).constData()) != 0) {
        m_error = QStringLiteral("cannot rename %1 to %2").arg(m_tempPath, m_path);
        QFile::remove(m_tempPath);
        return false;
    }
    return true;
}

void DatabaseWriter::abandon() {
    for (sqlite3_stmt* st : std::as_const(m_inserts)) sqlite3_finalize(st);
    m_inserts.clear();
    if (m_db) {
        sqlite3_close(m_db);
        m_db = nullptr;
        QFile::remove(m_tempPath);
    }
}

}  // namespace authoring
