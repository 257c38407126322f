#include "engine/engine.h"
#include "engine/questionlist.h"
#include "kb/loader.h"
#include "support/scripteddialogs.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

int buildBase(const QString& source, const QString& out, QString* err) {
    QProcess p;
    // The documents' page pictures play no part here and take most of the time.
    p.start(QStringLiteral(VIREKA_KB_PATH),
            {QStringLiteral("build"), QStringLiteral("--no-page-pictures"), source, out});
    if (!p.waitForFinished(120000)) return -1;
    *err = QString::fromUtf8(p.readAllStandardError());
    return p.exitCode();
}

kb::LoadResult load(const QString& folder, kb::Model& model) {
    kb::LoadOptions options;
    options.dataDir = folder + QLatin1Char('/');
    options.databaseName = QStringLiteral("vireka.db");
    return kb::loadKnowledgeBase(model, options);
}

TEST(KbGroups, TheDemoListsItsQuestionsUnderTheGroupsOfItsSource) {
    QTemporaryDir out;
    QString err;
    ASSERT_EQ(buildBase(QStringLiteral(VIREKA_DEMO_SOURCE), out.path(), &err), 0)
        << err.toStdString();
    kb::Model model;
    ASSERT_TRUE(load(out.path(), model).ok());
    testing_support::ScriptedDialogs dialogs;
    const engine::KeyTables tables = engine::KeyTables::fromModel(model);
    ASSERT_EQ(tables.groups.size(), tables.objects.size());
    engine::Engine engine(model, tables, dialogs, {});
    const auto sections = engine::questionSections(engine.tables(), engine.state());
    QStringList groups;
    for (const auto& s : sections) groups << s.group;
    EXPECT_EQ(groups, (QStringList{"Whole insect", "Head", "Thorax and legs", "Abdomen", "Wings",
                                   "Where and when"}));
    ASSERT_FALSE(sections[0].entries.empty());
    EXPECT_EQ(sections[0].entries[0].key, "SUBORDER");
    EXPECT_EQ(sections[0].entries[1].key, "LENGTH") << "source order inside a group";
}

// A key without a drawing compiles, loads and identifies; it has no palette and no group table.
TEST(KbGroups, AKeyWithoutADrawingBuildsLoadsAndIdentifies) {
    QTemporaryDir out;
    QString err;
    ASSERT_EQ(buildBase(QStringLiteral(VIREKA_NODRAWING_SOURCE), out.path(), &err), 0)
        << err.toStdString();
    EXPECT_FALSE(QFile::exists(QDir(out.path()).filePath("couleur.wmf")));
    EXPECT_TRUE(QDir(out.path()).exists("drawings")) << "the installer records every folder";
    kb::Model model;
    const kb::LoadResult loaded = load(out.path(), model);
    ASSERT_TRUE(loaded.ok()) << loaded.detail.toStdString();
    EXPECT_EQ(model.DrawingCount, 0);
    EXPECT_EQ(model.ColourCount, 0);
    EXPECT_FALSE(model.KnowledgeBase.hasTable("Groupes"));
    testing_support::ScriptedDialogs dialogs;
    engine::Engine engine(model, engine::KeyTables::fromModel(model), dialogs, {});
    auto sections = engine::questionSections(engine.tables(), engine.state());
    ASSERT_EQ(sections.size(), 1u);
    EXPECT_TRUE(sections[0].group.isEmpty());
    ASSERT_EQ(sections[0].entries.size(), 2u);
    EXPECT_FALSE(sections[0].entries[1].askable) << "spots are asked after a colour";
    ASSERT_TRUE(engine.openQuestion("ELYTRA"));
    engine.question().SelectedChoice = 1;  // yellow
    engine.Valid_Descripteur();
    const engine::RefreshResult refresh = engine.Actualise_Identification();
    EXPECT_FALSE(refresh.fatalPath);
    EXPECT_TRUE(refresh.changedLayers.empty());
    EXPECT_EQ(engine.state().TopSpeciesCount, 1);
    EXPECT_EQ(engine.listLine(0).trimmed(), "100% - Psyllobora vigintiduopunctata");
    sections = engine::questionSections(engine.tables(), engine.state());
    EXPECT_TRUE(sections[0].entries[1].askable);
    EXPECT_EQ(sections[0].entries[0].chosenTexts, QStringList{"Yellow"});
}

TEST(KbGroups, ZonesOrContradictionLayersWithoutADrawingAreRefused) {
    QTemporaryDir source, out;
    QFile original(QStringLiteral(VIREKA_NODRAWING_SOURCE "/kb.txt"));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    QByteArray text = original.readAll();
    text += "zone SPOTS 900,600 1500,1200\n";
    QFile copy(QDir(source.path()).filePath("kb.txt"));
    ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
    copy.write(text);
    copy.close();
    QString err;
    EXPECT_EQ(buildBase(source.path(), out.path(), &err), 1);
    EXPECT_TRUE(err.contains("a click zone needs a drawing")) << err.toStdString();
    EXPECT_FALSE(QFile::exists(QDir(out.path()).filePath("vireka.db")));
}

}  // namespace
