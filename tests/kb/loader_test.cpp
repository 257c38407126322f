#include "kb/loader.h"
#include "support/testkb.h"

#include <gtest/gtest.h>
#include <QFile>

using kb::Checkpoint;
using testing_support::TestKb;

namespace {

struct Loaded {
    kb::Model model;
    kb::LoadResult result;
};

std::unique_ptr<Loaded> load(const TestKb& base) {
    auto l = std::make_unique<Loaded>();
    l->result = kb::loadKnowledgeBase(l->model, base.options());
    return l;
}

}  // namespace

TEST(Loader, LoadsTheCountsNamesWeightsMatrixAndFlags) {
    TestKb base;
    base.write();
    auto l = load(base);
    ASSERT_TRUE(l->result.ok()) << l->result.detail.toStdString();
    const kb::Model& m = l->model;
    EXPECT_EQ(m.SpeciesCount, 3);
    EXPECT_EQ(m.StateCount, 5);
    EXPECT_EQ(m.ConstraintCount, 2);
    EXPECT_EQ(m.SpeciesName, (std::vector<QString>{"Alpha alpha", "Beta beta", "Gamma gamma"}));
    EXPECT_EQ(m.speciesListLineCount(), 3);
    EXPECT_EQ(m.speciesListLine(0), "100% - Alpha alpha");
    EXPECT_EQ(m.speciesListLine(2), "100% - Gamma gamma");
    EXPECT_TRUE(m.speciesListLine(3).isEmpty());
    EXPECT_EQ(m.matrix(0, 0), 1);
    EXPECT_EQ(m.matrix(1, 0), 0);
    EXPECT_EQ(m.matrix(1, 1), 1);
    EXPECT_EQ(m.matrix(2, 4), 1);
    EXPECT_EQ(m.JokerFlag, (std::vector<bool>{true, true}));
    EXPECT_EQ(m.ObjectCount, 2);
    EXPECT_EQ(m.PaletteCode, (std::vector<QString>{"AILE", "PATTE"}));
    EXPECT_EQ(m.PaletteColour[0], 0x000000FFu);
    EXPECT_EQ(m.PaletteColour[1], 0x00008000u);
    EXPECT_TRUE(m.HierarchyTable.isValid());
    EXPECT_EQ(m.ObjectTable.indexName(), QString("Objet"));
    EXPECT_FALSE(m.ObjectTable.eof());
}

TEST(Loader, ParameterValuesUseTheirLeadingNumberRoundedHalfToEven) {
    TestKb base;
    base.parameters["Nb_Cadre"] = "12 frames";
    base.parameters["Nb_Robot"] = "2.5";
    base.parameters["Nb_Contraintes"] = "3.5";
    base.write();
    auto l = load(base);
    ASSERT_TRUE(l->result.ok()) << l->result.detail.toStdString();
    EXPECT_EQ(l->model.FrameCount, 12);
    EXPECT_EQ(l->model.DrawingCount, 2);
    EXPECT_EQ(l->model.ConstraintCount, 4);
}

TEST(Loader, JokerFlagsAreIndexedByDescriptorNumber) {
    TestKb base;
    base.parameters["Nb_Etats_Desc"] = "6";
    base.stateCodes << "Z";
    base.weights.push_back(1);
    base.matrix.insert(base.matrix.end(), {0, 0, 0});
    base.objects = {{"A", 1, 2, 0, 2, 0, 0, "", "", true},
                    {"B", 1, 2, 2, 2, 0, 2, "", "", false},
                    {"C", 1, 2, 4, 2, 0, 1, "", "", true}};
    base.write();
    auto l = load(base);
    ASSERT_TRUE(l->result.ok()) << l->result.detail.toStdString();
    EXPECT_EQ(l->model.JokerFlag, (std::vector<bool>{true, true, false}));
}

TEST(Loader, SpeciesIndexIsThePrimaryKeyOrder) {
    TestKb base;
    base.write();
    // Renumber so that the file order and the key order differ.
    base.exec(
        "UPDATE Flore SET Numero = Numero + 10; UPDATE Flore SET Numero = 1 WHERE Code = 'SP3';");
    auto l = load(base);
    ASSERT_TRUE(l->result.ok());
    EXPECT_EQ(l->model.SpeciesName,
              (std::vector<QString>{"Gamma gamma", "Alpha alpha", "Beta beta"}));
}

TEST(Loader, FloraRowsBeyondTheSpeciesCountEnterOnlyTheTree) {
    TestKb base;
    base.flora.push_back({"SP4", "Delta delta", "DELTIDAE"});
    base.write();
    auto l = load(base);
    ASSERT_TRUE(l->result.ok());
    EXPECT_EQ(l->model.SpeciesName.size(), 3u);
    EXPECT_EQ(l->model.speciesListLineCount(), 3);
    EXPECT_GE(l->model.Tree.find("SP4"), 0);
    EXPECT_GE(l->model.Tree.find("SP4S"), 0);
}

TEST(PaletteSampling, PointsAreCellMiddlesRoundedHalfToEven) {
    const QSize box(200, 51);
    EXPECT_EQ(kb::paletteSamplePoint(0, 4, box), QPoint(25, 26));
    EXPECT_EQ(kb::paletteSamplePoint(1, 4, box), QPoint(75, 26));
    EXPECT_EQ(kb::paletteSamplePoint(2, 4, box), QPoint(125, 26));
    EXPECT_EQ(kb::paletteSamplePoint(3, 4, box), QPoint(175, 26));
    // 250 / 4 / 2 = 31.25 and 31.25 + 62.5 = 93.75: each point is rounded on its own.
    EXPECT_EQ(kb::paletteSamplePoint(1, 4, QSize(250, 10)), QPoint(94, 5));
}

TEST(PaletteSampling, ColourBytesAreSplitBlueGreenRed) {
    kb::Model m;
    m.ColourCount = 2;
    QImage box(200, 51, QImage::Format_RGB32);
    box.fill(QColor(0x99, 0x66, 0x33));  // red 0x99, green 0x66, blue 0x33: 0x00336699
    box.setPixel(150, 26, qRgb(1, 2, 3));
    kb::samplePalette(box, m);
    EXPECT_EQ(m.PaletteColour[0], 0x00336699u);
    EXPECT_EQ(m.PaletteBGR[0], (kb::Bgr{0x33, 0x66, 0x99}));
    EXPECT_EQ(m.PaletteColour[1], 0x00030201u);
}

TEST(PaletteSampling, TheRenderedPalettePictureGivesBackItsColours) {
    TestKb base;
    base.parameters["Nb_Couleurs"] = "4";
    base.colours = {QColor(0x12, 0x34, 0x56), QColor(0xFE, 0xDC, 0xBA), QColor(0, 0, 0),
                    QColor(0x80, 0x80, 0x81)};
    base.colourCodes = {"A", "B", "C", "D"};
    base.write();
    auto l = load(base);
    ASSERT_TRUE(l->result.ok()) << l->result.detail.toStdString();
    for (int i = 0; i < 4; ++i) {
        const QColor c = base.colours[size_t(i)];
        EXPECT_EQ(l->model.PaletteColour[size_t(i)],
                  std::uint32_t(c.red() | c.green() << 8 | c.blue() << 16))
            << i;
    }
}

TEST(DataFiles, WeightsAreLittleEndianSigned) {
    TestKb base;
    base.parameters["Nb_Etats_Desc"] = "3";
    base.objects = {{"AILE", 1, 3, 0, 3, 0, 0, "", "", true}};
    base.matrix.resize(9);
    base.write();
    base.writeFile("POIDS.DAT", QByteArray::fromHex("0100FFFF1027"));
    auto l = load(base);
    ASSERT_TRUE(l->result.ok()) << l->result.detail.toStdString();
    EXPECT_EQ(l->model.StateWeight, (std::vector<platform::i16>{1, -1, 10000}));
}

TEST(DataFiles, TheMatrixHasTheSpeciesIndexVaryingFastest) {
    TestKb base;
    base.parameters["Nb_Esp"] = "2";
    base.parameters["Nb_Etats_Desc"] = "3";
    base.flora.resize(2);
    base.objects = {{"AILE", 1, 3, 0, 3, 0, 0, "", "", true}};
    base.weights = {1, 1, 1};
    base.matrix = {1, 0, 0, 1, 1, 1};
    base.write();
    auto l = load(base);
    ASSERT_TRUE(l->result.ok()) << l->result.detail.toStdString();
    const kb::Model& m = l->model;
    EXPECT_TRUE(m.Matrix.isMapped()) << "the matrix is read in place, not copied";
    EXPECT_EQ(m.matrix(0, 0), 1);
    EXPECT_EQ(m.matrix(1, 0), 0);
    EXPECT_EQ(m.matrix(0, 1), 0);
    EXPECT_EQ(m.matrix(1, 1), 1);
    EXPECT_EQ(m.matrix(0, 2), 1);
    EXPECT_EQ(m.matrix(1, 2), 1);
}
