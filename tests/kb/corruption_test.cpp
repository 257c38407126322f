#include "kb/loader.h"
#include "support/testkb.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QRandomGenerator>

using testing_support::TestKb;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

// Random damage to the knowledge-base file or the data files must end at a checkpoint or
// load; it must never crash (the sanitizer build of this test is the real check).
TEST(Corruption, FlippedBytesInTheDatabaseNeverCrash) {
    TestKb base;
    base.write();
    const QByteArray original = readAll(base.databasePath());
    QRandomGenerator rng(20261208);
    int failures = 0;
    for (int round = 0; round < 150; ++round) {
        QByteArray damaged = original;
        const int flips = 1 + int(rng.bounded(8));
        for (int i = 0; i < flips; ++i)
            damaged[int(rng.bounded(damaged.size()))] = char(rng.bounded(256));
        base.writeFile("kb.sqlite", damaged);
        kb::Model m;
        const kb::LoadResult r = kb::loadKnowledgeBase(m, base.options());
        if (!r.ok()) {
            ++failures;
            EXPECT_TRUE(r.stringId != 0 || !r.message.isEmpty());
        }
    }
    SUCCEED() << failures << " damaged files were refused";
}

TEST(Corruption, TruncatedDatabasesAreRefusedCleanly) {
    TestKb base;
    base.write();
    const QByteArray original = readAll(base.databasePath());
    for (int size : {0, 1, 99, 100, 512, 4096, int(original.size()) / 2}) {
        base.writeFile("kb.sqlite", original.left(size));
        kb::Model m;
        const kb::LoadResult r = kb::loadKnowledgeBase(m, base.options());
        EXPECT_FALSE(r.ok()) << "size " << size;
    }
}

TEST(Corruption, InconsistentTablesEndAtACheckpoint) {
    const char* damage[] = {
        "UPDATE Objets_Fic SET Desc_Num = NULL;",
        "UPDATE Objets_Fic SET Joker = NULL;",
        "UPDATE Parametres SET Etat = 'many' WHERE Nom = 'Nb_Esp';",
        "UPDATE Parametres SET Etat = '99999' WHERE Nom = 'Nb_Etats_Desc';",
        "UPDATE Parametres SET Etat = '-4' WHERE Nom = 'Nb_Couleurs';",
        "ALTER TABLE Couleurs RENAME COLUMN Code_Couleur TO Code;",
        "ALTER TABLE Parametres RENAME COLUMN Etat TO Valeur;",
        "DELETE FROM Objets_Fic;",
        "DROP TABLE Communs_Langues;",
    };
    for (const char* sql : damage) {
        TestKb base;
        base.write();
        base.exec(sql);
        kb::Model m;
        const kb::LoadResult r = kb::loadKnowledgeBase(m, base.options());
        EXPECT_EQ(r.failedAt, kb::Checkpoint::WeightsOpen) << sql;
        EXPECT_FALSE(r.detail.isEmpty()) << sql;
    }
}
