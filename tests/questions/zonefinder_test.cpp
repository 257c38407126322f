#include "questionsfixture.h"

#include "questions/zonefinder.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

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
        bgr.reserve(colours.size());
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

// The cases the web player's hit test is checked against too (tests/data/hittest_cases.json):
// both must find the same question at every point.
class SharedHitTestCases : public ::testing::Test {
protected:
    static QJsonObject cases() {
        QFile file(QStringLiteral(VIREKA_HITTEST_CASES));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << VIREKA_HITTEST_CASES;
        return QJsonDocument::fromJson(file.readAll()).object();
    }
    // State n is coded "S<n>"; a zone's states become its constraints, ended by "Fin".
    static engine::KeyTables tables(const QJsonArray& objects) {
        engine::KeyTables t;
        for (const auto& key : objects) {
            engine::ObjectRow row;
            row.key = key.toString();
            t.objects.push_back(row);
        }
        for (int state = 0; state < 64; ++state)
            t.addCharacter(QStringLiteral("S%1").arg(state), state);
        t.index();
        return t;
    }
    static std::vector<questions::ZoneRow> zones(const QJsonArray& rows) {
        std::vector<questions::ZoneRow> out;
        for (const auto& v : rows) {
            const QJsonObject z = v.toObject();
            questions::ZoneRow row;
            row.object = z["object"].toString();
            row.frame = z["frame"].toInt();
            row.testFrame = z["testFrame"].toBool();
            row.x1 = z["x1"].toInt();
            row.x2 = z["x2"].toInt();
            row.y1 = z["y1"].toInt();
            row.y2 = z["y2"].toInt();
            for (const auto& state : z["when"].toArray())
                row.constraints << QStringLiteral("S%1").arg(state.toInt());
            row.constraints << QStringLiteral("Fin");
            out.push_back(row);
        }
        return out;
    }
    static std::uint32_t colour(const QJsonValue& v) { return v.toString().toUInt(nullptr, 16); }
    static ZoneFinder::Palette palette(const QJsonArray& entries) {
        ZoneFinder::Palette p;
        for (const auto& v : entries) {
            const std::uint32_t c = colour(v.toObject()["colour"]);
            p.colours.push_back(c);
            p.bgr.push_back({std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c)});
            p.codes.push_back(v.toObject()["code"].toString());
        }
        return p;
    }
    static std::vector<platform::i16> values(const QJsonValue& v, std::vector<platform::i16> none) {
        if (!v.isArray()) return none;
        std::vector<platform::i16> out;
        for (const auto& x : v.toArray()) out.push_back(platform::i16(x.toInt()));
        return out;
    }
};

TEST_F(SharedHitTestCases, EveryPointFindsTheQuestionTheTableGives) {
    const QJsonObject all = cases();
    const engine::KeyTables keys = tables(all["objects"].toArray());
    const QJsonArray list = all["cases"].toArray();
    ASSERT_GE(list.size(), 5);
    for (const auto& c : list) {
        const QJsonObject one = c.toObject();
        SCOPED_TRACE(one["name"].toString().toStdString());
        const ZoneFinder finder(zones(one["zones"].toArray()), keys,
                                palette(one["palette"].toArray()));
        for (const auto& p : one["points"].toArray()) {
            const QJsonObject point = p.toObject();
            engine::IdentificationState state;
            state.StateChoice = values(point["choice"], {});
            state.FrameState = values(point["frames"], {0, 0});
            QImage shown;
            if (point["colour"].isString()) {
                const std::uint32_t bgr = colour(point["colour"]);
                shown = QImage(1, 1, QImage::Format_RGB32);
                shown.fill(qRgb(int(bgr & 255), int((bgr >> 8) & 255), int((bgr >> 16) & 255)));
            }
            const QJsonArray at = point["at"].toArray();
            const ObjectHit hit =
                finder.Cherche_Objet(at[0].toInt(), at[1].toInt(), 0, 0, state, shown);
            EXPECT_EQ((hit.found ? hit.key : QString()).toStdString(),
                      point["expect"].toString().toStdString())
                << "at " << at[0].toInt() << "," << at[1].toInt();
        }
    }
}

TEST(ZonePosition, FollowsTheSizeOfTheDrawing) {
    EXPECT_EQ(ZoneFinder::zonePosition({100, 50}, {400, 300}), QPoint(600, 300));
    EXPECT_EQ(ZoneFinder::zonePosition({200, 100}, {800, 600}), QPoint(600, 300));
    EXPECT_EQ(ZoneFinder::zonePosition({399.9, 299.9}, {400, 300}), QPoint(2399, 1799));
    EXPECT_EQ(ZoneFinder::pixelPosition({2.5, 3.5}), QPoint(2, 4));
}

}  // namespace
