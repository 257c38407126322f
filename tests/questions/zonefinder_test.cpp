#include "questionsfixture.h"

#include "questions/zonefinder.h"

#include <QImage>

using questions::ObjectHit;
using questions::ZoneFinder;
using Zone = testing_support::TestKb::Zone;

namespace {

class ZoneFinderTest : public QuestionsTest {
protected:
    void loadZones(std::vector<Zone> zones) {
        base.zones = std::move(zones);
        load();
        finder = ZoneFinder::fromModel(model, engine->tables());
    }
    // The key found at a zone point; the colour stage finds nothing on a null image.
    QString at(int x, int y, const QImage& displayed = QImage()) const {
        const ObjectHit hit = finder.Cherche_Objet(x, y, 0, 0, engine->state(), displayed);
        return hit.found ? hit.key : QString();
    }

    ZoneFinder finder;
};

const int W = 2400, H = 1800;

TEST_F(ZoneFinderTest, EarlierRowWinsAndBordersAreOutside) {
    loadZones(
        {{"AILE", -2, false, 100, 500, 100, 400, {}}, {"PATTE", -3, false, 0, 1000, 0, 1000, {}}});
    EXPECT_EQ(at(300, 200), "AILE");
    EXPECT_EQ(at(600, 200), "PATTE");
    // On any of the four borders of AILE: outside it, inside PATTE.
    for (const auto& [x, y] : {std::pair{100, 200}, {500, 200}, {300, 100}, {300, 400}})
        EXPECT_EQ(at(x, y), "PATTE") << x << "," << y;
    EXPECT_EQ(at(1000, 500), "");
    EXPECT_EQ(at(500, 0), "");
    EXPECT_EQ(finder.zoneCount(), 2);
}

TEST_F(ZoneFinderTest, ConstraintStatesMustBeChosenWithValueOne) {
    loadZones({{"AILE", -2, false, 0, W, 0, H, {"P1"}},        // needs state 2
               {"AILE", -3, false, 0, W, 0, H, {"A1", "A2"}},  // no room for "Fin": never
               {"AILE", -4, false, 0, W, 0, H, {"NOPE"}},      // no such state: never
               {"PATTE", -5, false, 0, W, 0, H, {}}});         // "Fin" first: always
    EXPECT_EQ(finder.zoneCount(), 2);
    EXPECT_EQ(at(50, 50), "PATTE");
    choose(0);
    choose(1);
    EXPECT_EQ(at(50, 50), "PATTE");
    engine->state().StateChoice[2] = 2;
    EXPECT_EQ(at(50, 50), "PATTE");
    choose(2);
    EXPECT_EQ(at(50, 50), "AILE");
}

TEST_F(ZoneFinderTest, FramesHideTheirZonesUntilOpenAndAfterTheirFrameRow) {
    loadZones({{"PATTE", 0, true, 100, 200, 100, 200, {}},  // inside frame 0
               {"AILE", 0, false, 0, 300, 0, 300, {}},      // frame 0 itself
               {"PATTE", 0, true, 400, 500, 400, 500, {}},  // after its frame row: never
               {"AILE", 1, false, 600, 700, 600, 700, {}}});
    EXPECT_EQ(at(150, 150), "AILE");  // frame 0 closed: the frame row decides
    engine->state().FrameState[0] = -1;
    EXPECT_EQ(at(150, 150), "PATTE");
    EXPECT_EQ(at(450, 450), "");
    EXPECT_EQ(at(650, 650), "AILE");
}

TEST_F(ZoneFinderTest, RowsOfFrameMinusOneCountOnlyAfterAnotherFrameRow) {
    loadZones({{"AILE", -1, false, 0, W, 0, H, {}}});
    EXPECT_EQ(at(1000, 1000), "");
    finder = ZoneFinder(
        {{"PATTE", -2, false, 0, 10, 0, 10, {"Fin"}}, {"AILE", -1, false, 0, W, 0, H, {"Fin"}}},
        engine->tables(), {});
    EXPECT_EQ(at(1000, 1000), "AILE");
}

TEST_F(ZoneFinderTest, ZoneOfUnknownQuestionHandsOverToTheColour) {
    loadZones({{"NOPE", -2, false, 0, W, 0, H, {}}, {"PATTE", -3, false, 0, W, 0, H, {}}});
    // The search stops at the unknown key: the later zone is not tried.
    EXPECT_EQ(at(50, 50), "");
    QImage displayed(4, 4, QImage::Format_RGB32);
    displayed.fill(QColor(0, 120, 0));  // nearest to the palette's green, code PATTE
    const ObjectHit hit = finder.Cherche_Objet(50, 50, 1, 1, engine->state(), displayed);
    EXPECT_TRUE(hit.found);
    EXPECT_TRUE(hit.colourStage);
    EXPECT_EQ(hit.key, "PATTE");
    EXPECT_EQ(engine->tables().objects[size_t(hit.object)].key, "PATTE");
    // Outside the displayed picture there is no colour.
    EXPECT_FALSE(finder.Cherche_Objet(50, 50, 9, 9, engine->state(), displayed).found);
}

TEST(CouleurProche, ExactThenNearestWithTiesToTheLowerIndex) {
    const engine::KeyTables none;
    const auto finderOf = [&none](std::vector<std::uint32_t> colours, std::vector<QString> codes) {
        std::vector<kb::Bgr> bgr;
        for (std::uint32_t c : colours)
            bgr.push_back({std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c)});
        return ZoneFinder({}, none, {colours, bgr, codes});
    };
    const ZoneFinder f = finderOf({0x0000FF, 0x008000, 0x0000FF}, {"A", "B", "C"});
    EXPECT_EQ(f.Couleur_Proche(0x0000FF), "A");
    EXPECT_EQ(f.Couleur_Proche(0x0000F0), "A");
    EXPECT_EQ(f.Couleur_Proche(0x007000), "B");
    const ZoneFinder tie = finderOf({0x000000, 0x000014}, {"K", "L"});
    EXPECT_EQ(tie.Couleur_Proche(0x00000A), "K");
    EXPECT_EQ(tie.Couleur_Proche(0x00000B), "L");
    EXPECT_EQ(finderOf({}, {}).Couleur_Proche(0x123456), "");
    EXPECT_EQ(ZoneFinder::colourValue(qRgb(1, 2, 3)), 0x030201u);
}

TEST(ZonePosition, FollowsTheSizeOfTheDrawing) {
    EXPECT_EQ(ZoneFinder::zonePosition({100, 50}, {400, 300}), QPoint(600, 300));
    EXPECT_EQ(ZoneFinder::zonePosition({200, 100}, {800, 600}), QPoint(600, 300));
    EXPECT_EQ(ZoneFinder::zonePosition({399.9, 299.9}, {400, 300}), QPoint(2399, 1799));
    EXPECT_EQ(ZoneFinder::pixelPosition({2.5, 3.5}), QPoint(2, 4));
}

}  // namespace
