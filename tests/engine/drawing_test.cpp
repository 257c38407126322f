#include "memorykey.h"
#include "support/scripteddialogs.h"

#include <gtest/gtest.h>

using engine::Engine;
using testing_support::MemoryKey;
using testing_support::ScriptedDialogs;

namespace {

// Three drawings; the loader records what it is asked to load.
struct Drawing : ::testing::Test {
    MemoryKey key{2, {2, 2}, 3};
    ScriptedDialogs dialogs;
    std::vector<std::pair<int, QString>> loads;
    engine::LayerLoader loader = [this](int layer, const QString& path) {
        loads.emplace_back(layer, path);
        return !path.contains(QLatin1String("BROKEN"));
    };

    Engine make() {
        key.finish();
        return Engine(key.model, key.tables, dialogs, testing_support::englishTexts(),
                      {"D:\\data\\", "D:\\robot\\", -1});
    }
};

TEST_F(Drawing, FirstMatchingRowInKeyOrderWins) {
    key.variant(0, "male.wmf", {"E0"});
    key.variant(0, "plain.wmf", {});  // "Fin" first: always holds
    key.variant(0, "female.wmf", {"E1"});
    Engine engine = make();
    engine.Actualise_Identification(loader);
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0], std::make_pair(0, QString("D:\\robot\\00\\plain.wmf")));
    EXPECT_EQ(engine.state().DrawingTable[0].FileName, "D:\\ROBOT\\00\\PLAIN.WMF");
    engine.state().StateChoice[0] = 1;
    engine.Actualise_Identification(loader);
    EXPECT_EQ(loads.back().second, "D:\\robot\\00\\male.wmf");
}

TEST_F(Drawing, SamePathIsNotLoadedAgain) {
    key.variant(0, "plain.WMF", {});
    Engine engine = make();
    engine.Actualise_Identification(loader);
    engine.state().StateChoice[0] = 1;
    const auto result = engine.Actualise_Identification(loader);
    EXPECT_EQ(loads.size(), 1u);
    EXPECT_TRUE(result.changedLayers.empty());
}

TEST_F(Drawing, LaterDrawingsFollowTheVariantOfDrawingZero) {
    key.variant(0, "body_F.WMF", {"E1"});
    key.variant(1, "legs", {});
    key.variant(2, "wings.WMF", {});
    key.variant(12, "tail", {});
    Engine engine = make();
    engine.state().StateChoice[1] = 1;
    engine.Actualise_Identification(loader);
    ASSERT_EQ(loads.size(), 3u);
    EXPECT_EQ(loads[0].second, "D:\\robot\\00\\body_F.WMF");
    EXPECT_EQ(loads[1].second, "D:\\robot\\01\\legs_F.WMF");
    EXPECT_EQ(loads[2].second, "D:\\robot\\02\\wings.WMF");  // its own "WMF" name
}

TEST_F(Drawing, LowerCaseWmfSetsNoSuffix) {
    key.variant(0, "body_F.wmf", {});
    key.variant(1, "legs", {});
    Engine engine = make();
    engine.Actualise_Identification(loader);
    EXPECT_EQ(loads[1].second, "D:\\robot\\01\\legs");
}

TEST_F(Drawing, UnknownStateCodeIsReportedEachTimeAndTheRowDoesNotMatch) {
    key.variant(0, "ghost.wmf", {"NOPE"});
    key.variant(0, "plain.wmf", {});
    Engine engine = make();
    engine.Actualise_Identification(loader);
    engine.Actualise_Identification(loader);
    const QString message =
        "Erreur : l'état du Caractère 'NOPE' n'existe pas dans la Table 'Caractères'";
    EXPECT_EQ(dialogs.texts(), (QStringList{message, message}));
    EXPECT_EQ(dialogs.asked[0].title, QString());
    EXPECT_EQ(loads[0].second, "D:\\robot\\00\\plain.wmf");
    EXPECT_EQ(engine.listedCount(), 2);  // the ranking still ran
}

TEST_F(Drawing, ConditionsNeedEveryStateBeforeFin) {
    key.variant(0, "both.wmf", {"E0", "E2"});
    key.variant(0, "never.wmf", {"E0", "E1", "E2"});  // three columns, no "Fin"
    key.variant(0, "plain.wmf", {});
    Engine engine = make();
    engine.state().StateChoice[0] = 1;
    engine.state().StateChoice[1] = 1;
    engine.state().StateChoice[2] = 2;  // only 1 counts as chosen
    engine.Actualise_Identification(loader);
    EXPECT_EQ(loads.back().second, "D:\\robot\\00\\plain.wmf");
    engine.state().StateChoice[2] = 1;
    engine.Actualise_Identification(loader);
    EXPECT_EQ(loads.back().second, "D:\\robot\\00\\both.wmf");
}

TEST_F(Drawing, NoMatchingRowKeepsTheLayer) {
    key.variant(0, "male.wmf", {"E0"});
    Engine engine = make();
    engine.Actualise_Identification(loader);
    EXPECT_TRUE(loads.empty());
    EXPECT_EQ(engine.state().DrawingTable[0].FileName, QString());
}

TEST_F(Drawing, UnloadablePictureIsFatalAndStopsTheRefresh) {
    key.variant(0, "BROKEN.wmf", {});
    key.variant(1, "legs.wmf", {});
    Engine engine = make();
    const auto result = engine.Actualise_Identification(loader);
    ASSERT_TRUE(result.fatalPath);
    EXPECT_EQ(*result.fatalPath, "D:\\robot\\00\\BROKEN.wmf");
    EXPECT_FALSE(result.ranked);
    EXPECT_EQ(loads.size(), 1u);
    EXPECT_EQ(engine.state().DrawingTable[0].FileName, QString());
}

// The print of the drawing finds the same layers as the drawing, without loading anything
// or saying anything about rows with unknown codes.
TEST_F(Drawing, LayerPathsFollowTheDrawingWithoutLoadingOrReporting) {
    key.variant(0, "ghost.wmf", {"NOPE"});
    key.variant(0, "body_F.WMF", {"E1"});
    key.variant(0, "body_M.WMF", {});
    key.variant(1, "legs", {});
    key.variant(2, "..\\..\\secret.WMF", {});
    Engine engine = make();
    engine.state().StateChoice[1] = 1;
    EXPECT_EQ(engine.layerPaths(),
              (QStringList{"D:\\robot\\00\\body_F.WMF", "D:\\robot\\01\\legs_F.WMF", QString()}));
    EXPECT_TRUE(loads.empty());
    EXPECT_TRUE(dialogs.asked.empty());
    engine.state().StateChoice[1] = 0;
    engine.Actualise_Identification(loader);
    EXPECT_EQ(engine.layerPaths().first(), loads.front().second);
}

}  // namespace

#include "engine/drawingvariants.h"

TEST(DrawingFolder, NumberHasAtLeastTwoDigits) {
    QString suffix;
    EXPECT_EQ(engine::variantPath("R\\", 7, "a.WMF", suffix), "R\\07\\a.WMF");
    EXPECT_EQ(engine::variantPath("R\\", 12, "b", suffix), "R\\12\\b");
    EXPECT_EQ(engine::variantPath("R\\", 0, "c_M.WMF", suffix), "R\\00\\c_M.WMF");
    EXPECT_EQ(suffix, "_M.WMF");
    EXPECT_EQ(engine::variantPath("R\\", 123, "d", suffix), "R\\123\\d_M.WMF");
}
