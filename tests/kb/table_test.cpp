#include "kb/database.h"

#include <sqlite3.h>

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

using kb::Database;
using kb::Table;

namespace {

class TableTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.path() + "/t.sqlite";
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
        const char* sql =
            "CREATE TABLE Parametres (Nom TEXT PRIMARY KEY COLLATE NOCASE, Etat TEXT);"
            "INSERT INTO Parametres VALUES ('Nb_Esp','12 "
            "species'),('Nb_Cadre','3'),('Vide',NULL),('Blanc','');"
            "CREATE TABLE Caracteres (NUM INTEGER PRIMARY KEY, ID_CARAC TEXT);"
            "CREATE INDEX Caracteres_ID_CARAC ON Caracteres (ID_CARAC);"
            "INSERT INTO Caracteres VALUES (2,'b2'),(0,'A0'),(1,'a1'),(3,'B2');"
            "CREATE TABLE Paires (A INTEGER, B TEXT, V TEXT, PRIMARY KEY (B, A));"
            "INSERT INTO Paires VALUES (2,'x','x2'),(1,'y','y1'),(1,'x','x1');"
            "CREATE TABLE Zzz (n INTEGER); CREATE TABLE Aaa (n INTEGER);"
            "CREATE VIEW Vb AS SELECT Nom FROM Parametres WHERE Nom='Nb_Cadre';"
            "CREATE VIEW va AS SELECT ID_CARAC AS Code FROM Caracteres ORDER BY NUM;";
        ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        ASSERT_TRUE(database.open(path)) << database.errorString().toStdString();
    }

    QTemporaryDir dir;
    QString path;
    Database database;
};

}  // namespace

TEST_F(TableTest, SeekFindsRowsByTextKeyIgnoringCase) {
    Table t = database.openTable("Parametres");
    ASSERT_TRUE(t.isValid());
    EXPECT_TRUE(t.seek(QString("NB_ESP")));
    EXPECT_EQ(t.field("Etat").toString(), QString("12 species"));
    EXPECT_TRUE(t.seek(QString("nb_cadre")));
    EXPECT_EQ(t.field("etat").toString(), QString("3"));  // field names ignore case too
    EXPECT_FALSE(t.seek(QString("Nb_Robot")));
    EXPECT_TRUE(t.noMatch());
    bool ok = true;
    EXPECT_TRUE(t.field("Etat", &ok).isNull());
    EXPECT_FALSE(ok) << "reading a field after a failed seek must fail";
}

TEST_F(TableTest, EmptyAndNullFieldsReadAsNull) {
    Table t = database.openTable("Parametres");
    ASSERT_TRUE(t.seek(QString("Vide")));
    bool ok = false;
    EXPECT_TRUE(t.field("Etat", &ok).isNull());
    EXPECT_TRUE(ok);
    ASSERT_TRUE(t.seek(QString("Blanc")));
    EXPECT_TRUE(t.field("Etat").isNull());
    EXPECT_FALSE(t.field("NoSuchField", &ok).isValid());
    EXPECT_FALSE(ok);
}

TEST_F(TableTest, RowsComeInTheOrderOfTheIndexSet) {
    Table t = database.openTable("Caracteres");
    QStringList codes;
    for (t.moveFirst(); !t.eof(); t.moveNext()) codes << t.field("ID_CARAC").toString();
    EXPECT_EQ(codes, QStringList({"A0", "a1", "b2", "B2"}));  // by NUM

    ASSERT_TRUE(t.setIndex("ID_CARAC"));
    QList<int> nums;
    for (t.moveFirst(); !t.eof(); t.moveNext()) nums << t.field("NUM").toInt();
    // Case-insensitive key order; equal keys keep the file's order.
    EXPECT_EQ(nums, QList<int>({0, 1, 2, 3}));
    EXPECT_TRUE(t.seek(QString("B2")));
    EXPECT_EQ(t.field("NUM").toInt(), 2) << "seek lands on the first of equal keys";
}

TEST_F(TableTest, NumericKeysAcceptNumbersAndNumericTexts) {
    Table t = database.openTable("Caracteres");
    EXPECT_TRUE(t.seek(3));
    EXPECT_EQ(t.field("ID_CARAC").toString(), QString("B2"));
    EXPECT_TRUE(t.seek(QString("1")));
    EXPECT_EQ(t.field("ID_CARAC").toString(), QString("a1"));
    EXPECT_FALSE(t.seek(7));
}

TEST_F(TableTest, CompositeKeysSeekOnSeveralValuesOrAPrefix) {
    Table t = database.openTable("Paires");
    QStringList order;
    for (t.moveFirst(); !t.eof(); t.moveNext()) order << t.field("V").toString();
    EXPECT_EQ(order, QStringList({"x1", "x2", "y1"}));
    EXPECT_TRUE(t.seek(QVariantList{"X", 2}));
    EXPECT_EQ(t.field("V").toString(), QString("x2"));
    EXPECT_TRUE(t.seek(QVariantList{"y"}));
    EXPECT_EQ(t.field("V").toString(), QString("y1"));
    EXPECT_FALSE(t.seek(QVariantList{"x", 3}));
    EXPECT_FALSE(t.seek(QVariantList{"x", 1, "too many"}));
}

TEST_F(TableTest, MovingAndCounting) {
    Table t = database.openTable("Caracteres");
    EXPECT_EQ(t.recordCount(), 4);
    t.moveLast();
    EXPECT_EQ(t.field("NUM").toInt(), 3);
    t.moveNext();
    EXPECT_TRUE(t.eof());
    bool ok = true;
    t.field("NUM", &ok);
    EXPECT_FALSE(ok);
    t.moveFirst();
    EXPECT_EQ(t.field("NUM").toInt(), 0);

    Table empty = database.openTable("Aaa");
    EXPECT_TRUE(empty.eof());
    EXPECT_EQ(empty.recordCount(), 0);
}

TEST_F(TableTest, CursorsAreIndependent) {
    Table a = database.openTable("Caracteres");
    Table b = a;
    b.setIndex("ID_CARAC");
    b.moveLast();
    EXPECT_EQ(a.field("NUM").toInt(), 0);
    EXPECT_EQ(b.field("NUM").toInt(), 3);
}

TEST_F(TableTest, UnknownTablesAndIndexesAreErrors) {
    Table t = database.openTable("Nothing");
    EXPECT_FALSE(t.isValid());
    EXPECT_TRUE(t.errorString().contains("Nothing"));
    EXPECT_FALSE(t.seek(1));
    EXPECT_TRUE(t.eof());

    Table c = database.openTable("Caracteres");
    EXPECT_FALSE(c.setIndex("NoIndex"));
}

TEST_F(TableTest, StoredQueriesAreViewsInNameOrder) {
    EXPECT_EQ(database.queryNames(), QStringList({"va", "Vb"}));
    Table q = database.openQuery(0);
    ASSERT_TRUE(q.isValid());
    QStringList codes;
    for (q.moveFirst(); !q.eof(); q.moveNext()) codes << q.field("Code").toString();
    EXPECT_EQ(codes, QStringList({"A0", "a1", "b2", "B2"}));
    Table q1 = database.openQuery(1);
    EXPECT_EQ(q1.recordCount(), 1);
    EXPECT_FALSE(database.openQuery(2).isValid());
    EXPECT_FALSE(database.openQuery(-1).isValid());
}

TEST_F(TableTest, TheFileIsNeverWritten) {
    const QByteArray before = [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    Table t = database.openTable("Parametres");
    database.close();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

TEST(DatabaseOpen, MissingOrForeignFilesFailWithACode) {
    QTemporaryDir dir;
    Database db;
    EXPECT_FALSE(db.open(dir.path() + "/none.sqlite"));
    EXPECT_NE(db.errorCode(), 0);

    QFile junk(dir.path() + "/junk.sqlite");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    EXPECT_FALSE(db.open(junk.fileName()));
    EXPECT_EQ(db.errorCode(), SQLITE_NOTADB);
    EXPECT_FALSE(db.isOpen());
}

TEST(DatabaseOpen, APathWrittenWithBackslashesAndOtherCaseOpens) {
    QTemporaryDir dir;
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open((dir.path() + "/Base.sqlite").toUtf8().constData(), &raw), SQLITE_OK);
    sqlite3_exec(raw, "CREATE TABLE T (a INTEGER PRIMARY KEY);", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
    Database db;
    EXPECT_TRUE(db.open(dir.path() + "\\BASE.SQLITE")) << db.errorString().toStdString();
    EXPECT_TRUE(db.openTable("t").isValid());
}

// Cells are decoded from the file's UTF-8, ASCII ones by a shorter road: both must give the
// text stored, and an index over them the order of Qt's case-insensitive comparison.
TEST(TableText, PlainAndAccentedCellsReadBackAsStoredAndIndexInCaseFreeOrder) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/n.sqlite";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    const char* sql =
        "CREATE TABLE Noms (N INTEGER PRIMARY KEY, Nom TEXT);"
        "CREATE INDEX Noms_Nom ON Noms (Nom);"
        "INSERT INTO Noms VALUES (1,'zeta'),(2,'\xc3\x89ph\xc3\xa9m\xc3\xa8re'),(3,'Abc'),"
        "(4,'stra\xc3\x9f"
        "e'),(5,'\xce\xa9mega'),(6,'ab_'),(7,'ABD'),(8,'x\xf0\x90\x90\x80y');";
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    Database database;
    ASSERT_TRUE(database.open(path));
    Table t = database.openTable("Noms");
    ASSERT_TRUE(t.isValid());
    ASSERT_TRUE(t.setIndex("Nom"));
    QStringList read;
    for (t.moveFirst(); !t.eof(); t.moveNext()) read << t.field("Nom").toString();
    QStringList expected = {"zeta",
                            QString::fromUtf8("Éphémère"),
                            "Abc",
                            QString::fromUtf8("straße"),
                            QString::fromUtf8("Ωmega"),
                            "ab_",
                            "ABD",
                            QString::fromUtf8("x\U00010400y")};
    std::stable_sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    EXPECT_EQ(read, expected);
}

// Indexes over plain ASCII texts are ordered by keys folded once per row: the order must be
// the one every other index gets, column by column, null first, a text before a longer one
// it begins, equal keys in the file's order. A cell of another kind in the column takes the
// general road.
TEST(TableText, AsciiKeysOrderAsTheGeneralComparisonDoes) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/k.sqlite";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    const char* sql =
        "CREATE TABLE Paires (N INTEGER PRIMARY KEY, B TEXT, C TEXT);"
        "CREATE INDEX Paires_BC ON Paires (B, C);"
        "CREATE INDEX Paires_C ON Paires (C);"
        "INSERT INTO Paires VALUES (1,'ab','x'),(2,'a','bc'),(3,NULL,'z'),(4,'A','a'),"
        "(5,'a','BC'),(6,'ab',NULL),(7,'','q'),(8,'_b','a'),(9,'Z','[');"
        "CREATE TABLE Melange (N INTEGER PRIMARY KEY, V);"
        "CREATE INDEX Melange_V ON Melange (V);"
        "INSERT INTO Melange VALUES (1,'b'),(2,10),(3,'A'),(4,2.5);";
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    Database database;
    ASSERT_TRUE(database.open(path));
    const auto order = [&](const char* table, const char* index) {
        Table t = database.openTable(table);
        EXPECT_TRUE(t.setIndex(index));
        QList<int> rows;
        for (t.moveFirst(); !t.eof(); t.moveNext()) rows << t.field("N").toInt();
        return rows;
    };
    // Null (and empty) first; letters compare as lower case, so "_" and "[" come before them.
    EXPECT_EQ(order("Paires", "BC"), QList<int>({7, 3, 8, 4, 2, 5, 6, 1, 9}));
    EXPECT_EQ(order("Paires", "C"), QList<int>({6, 9, 4, 8, 2, 5, 7, 1, 3}));
    // Numbers before texts.
    EXPECT_EQ(order("Melange", "V"), QList<int>({4, 2, 3, 1}));
    Table t = database.openTable("Paires");
    ASSERT_TRUE(t.setIndex("BC"));
    EXPECT_TRUE(t.seek(QVariantList{"AB", "X"}));
    EXPECT_EQ(t.field("N").toInt(), 1);
}
