#include "documents/documentevents.h"
#include "kb/loader.h"
#include "kb/model.h"
#include "support/testkb.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QUrl>

using documents::DocumentEvents;
using documents::OpenSpecies;
using documents::PictureEvent;
using documents::SheetActions;
using documents::SheetWindows;

namespace {

// A base of three species with a legend for the first, its drawing sheet and a page picture
// of 400 x 600 pixels on disk, and the controller with the documents on the local disk.
class DocumentEventsTest : public ::testing::Test {
protected:
    void SetUp() override {
        base.flora = {{"AbCdE", "Rosa canina", "ROSACEAE"},
                      {"FGHIJ", "Fagus sylvatica", "FAGACEAE"},
                      {"KLMNO", "Quercus robur", "FAGACEAE"}};
        base.write();
        base.exec(
            QStringLiteral("ALTER TABLE Flore ADD COLUMN Legende TEXT;"
                           "UPDATE Flore SET Legende = '1 petal' WHERE Code = 'AbCdE';"));
        const auto result = kb::loadKnowledgeBase(model, base.options());
        ASSERT_TRUE(result.ok()) << result.detail.toStdString();
        values.DocSource = QStringLiteral("hd");
        values.DataDir = base.dataDir();
        values.DocAddress = base.dataDir() + QStringLiteral("documents\\");
        folder = base.dataDir() + QStringLiteral("documents/a/abcde/");
        QDir().mkpath(folder);
        writePicture(folder + "abcde.gif", QSize(400, 600));
        species = {QStringLiteral("AbCdE"), QStringLiteral("Rosa canina"),
                   QStringLiteral("Rosaceae"), QStringLiteral("_en")};
        seek(QStringLiteral("AbCdE"));
        // A zoom window of 200 x 200 pixels at 15 twips a pixel.
        windows.zoomScale = QSizeF(3000, 3000);
    }

    static void writePicture(const QString& path, QSize size) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        // Saved as PNG under the sheet's name: pictures are known by their content.
        ASSERT_TRUE(image.save(path, "PNG"));
    }
    // Positions the flora table as the species list does before a document opens.
    void seek(const QString& code) {
        for (model.FloraTable.moveFirst(); !model.FloraTable.eof(); model.FloraTable.moveNext())
            if (model.FloraTable.field(QStringLiteral("Code")).toString() == code) return;
    }
    QString sheetUrl() const { return QUrl::fromLocalFile(folder + "abcde_ds.html").toString(); }
    PictureEvent at(int x, int y, int dx = 0, int dy = 0) const {
        return {QUrl::fromLocalFile(folder + "abcde.gif").toString(), x, y, dx, dy};
    }

    testing_support::TestKb base;
    kb::Model model;
    platform::Settings::Values values;
    QString folder;
    OpenSpecies species;
    SheetWindows windows;
    DocumentEvents events{values, model, [this] { return species; }};
};

TEST_F(DocumentEventsTest, DrawingSheetWiresItsPicturesShowsTheLegendAndLoadsThePagePicture) {
    const SheetActions a = events.DocumentComplete(sheetUrl().toUpper(), false);
    EXPECT_TRUE(a.wirePictures);
    EXPECT_TRUE(a.showLegend);
    EXPECT_TRUE(a.placeLegend);
    EXPECT_TRUE(a.pendingEvents);
    EXPECT_FALSE(a.hideZoom || a.hideLegend);
    EXPECT_TRUE(a.restorePointer);
    EXPECT_EQ(events.LegendText, "1 petal");
    EXPECT_EQ(events.DocPicture().size(), QSize(400, 600));

    // The legend window already shown stays where it is.
    const SheetActions again = events.DocumentComplete(sheetUrl(), true);
    EXPECT_TRUE(again.wirePictures);
    EXPECT_FALSE(again.showLegend);

    // Any other document puts both windows away and wires nothing.
    const SheetActions other =
        events.DocumentComplete(QUrl::fromLocalFile(folder + "abcde_en.html").toString(), true);
    EXPECT_TRUE(other.hideZoom && other.hideLegend);
    EXPECT_FALSE(other.wirePictures || other.showLegend);
}

TEST_F(DocumentEventsTest, NullLegendShowsNoWindowAndEmptiesTheText) {
    events.LegendText = QStringLiteral("left over");
    species.DocCode = QStringLiteral("FGHIJ");
    seek(QStringLiteral("FGHIJ"));
    const SheetActions a =
        events.DocumentComplete("file:///kb/documents/f/fghij/fghij_ds.html", false);
    EXPECT_TRUE(a.wirePictures);
    EXPECT_FALSE(a.showLegend);
    EXPECT_TRUE(events.LegendText.isEmpty());
    // A press on the sheet then shows no legend either.
    EXPECT_FALSE(events.MouseDown(events.documentSerial(), at(50, 130), windows).showLegend);
}

TEST_F(DocumentEventsTest, MissingPagePictureLeavesNoPictureAndEndsTheHandler) {
    events.DocumentComplete(sheetUrl(), false);
    ASSERT_FALSE(events.DocPicture().isNull());
    ASSERT_TRUE(QFile::remove(folder + "abcde.gif"));
    const SheetActions a = events.DocumentComplete(sheetUrl(), true);
    EXPECT_TRUE(events.DocPicture().isNull());
    EXPECT_FALSE(a.restorePointer);
    // Without a picture the zoom window never opens.
    const SheetActions press = events.MouseDown(events.documentSerial(), at(100, 200), windows);
    EXPECT_FALSE(press.showZoom || press.repaintZoom);
}

TEST_F(DocumentEventsTest, UnreadablePagePictureKeepsThePictureAndPipesAreNeverRead) {
    events.DocumentComplete(sheetUrl(), false);
    QFile bad(folder + "abcde.gif");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("GIF89a truncated");
    bad.close();
    events.DocumentComplete(sheetUrl(), true);
    EXPECT_EQ(events.DocPicture().size(), QSize(400, 600));

    // A pipe in its place would never end: it is refused at once, not read.
    ASSERT_TRUE(QFile::remove(folder + "abcde.gif"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + "abcde.gif").constData(), 0600), 0);
    const SheetActions a = events.DocumentComplete(sheetUrl(), true);
    EXPECT_TRUE(a.restorePointer);
    EXPECT_EQ(events.DocPicture().size(), QSize(400, 600));
}

TEST_F(DocumentEventsTest, PagePictureOutsideTheDocumentsFolderIsNeverRead) {
    // A link planted in the species folder that points elsewhere on disk.
    writePicture(base.dataDir() + "secret.png", QSize(50, 50));
    ASSERT_TRUE(QFile::remove(folder + "abcde.gif"));
    ASSERT_TRUE(QFile::link(base.dataDir() + "secret.png", folder + "abcde.gif"));
    events.DocumentComplete(sheetUrl(), false);
    EXPECT_TRUE(events.DocPicture().isNull());
    // A code that climbs out of the folder builds no path at all.
    EXPECT_EQ(DocumentEvents::pagePicturePath(values.DocAddress, "../..\\x"), QString());
    EXPECT_EQ(DocumentEvents::pagePicturePath("D:\\kb\\", "AbCdE"), "D:\\kb\\a\\abcde\\abcde.gif");
}

TEST_F(DocumentEventsTest, PressOpensTheZoomOnlyOnThePagePicture) {
    events.DocumentComplete(sheetUrl(), false);
    const auto serial = events.documentSerial();
    // Above the picture: the legend is placed, the zoom does not open.
    SheetActions a = events.MouseDown(serial, at(100, 50), windows);
    EXPECT_TRUE(a.showLegend && a.placeLegend);
    EXPECT_FALSE(a.showZoom || a.repaintZoom);
    // Left of it.
    a = events.MouseDown(serial, at(11, 300), windows);
    EXPECT_FALSE(a.showZoom);
    // Right of and below the 100 x 150 picture shown on the sheet.
    a = events.MouseDown(serial, at(12 + 100, 100), windows);
    EXPECT_FALSE(a.showZoom || a.repaintZoom);
    a = events.MouseDown(serial, at(50, 72 + 150), windows);
    EXPECT_FALSE(a.showZoom || a.repaintZoom);

    // On it, scrolled: the document position is the event's plus the scroll offsets.
    a = events.MouseDown(serial, at(30, 10, 20, 120), windows);
    EXPECT_EQ(events.ImgX, 50);
    EXPECT_EQ(events.ImgY, 130);
    EXPECT_TRUE(a.showZoom);
    EXPECT_EQ(a.zoomCaption, "Zoom 4x : Rosa canina - Rosaceae");
    EXPECT_TRUE(a.repaintZoom);
    // 38 sheet pixels right: 152 picture pixels, 2280 twips, less half the window.
    EXPECT_EQ(events.ZoomX, 2280 - 1500);
    EXPECT_EQ(events.ZoomY, 58 * 4 * 15 - 1500);

    // Already open: only moved.
    windows.zoomVisible = true;
    windows.legendVisible = true;
    a = events.MouseDown(serial, at(111, 221), windows);
    EXPECT_FALSE(a.showZoom || a.showLegend);
    EXPECT_TRUE(a.repaintZoom);
    // The last sheet pixel of the picture: the window ends on the picture's far edges.
    EXPECT_EQ(events.ZoomX, 400 * 15 - 3000);
    EXPECT_EQ(events.ZoomY, 600 * 15 - 3000);
}

TEST_F(DocumentEventsTest, MovesSteerTheZoomOverThePagePictureOnly) {
    events.DocumentComplete(sheetUrl(), true);
    const auto serial = events.documentSerial();
    windows.zoomVisible = true;
    SheetActions a = events.MouseMove(serial, at(60, 100, 0, 20), windows);
    EXPECT_TRUE(a.repaintZoom);
    EXPECT_EQ(events.ZoomY, (120 - 72) * 4 * 15 - 1500);
    const auto y = events.ZoomY;
    a = events.MouseMove(serial, at(300, 200), windows);  // a picture beside the page
    EXPECT_FALSE(a.repaintZoom);
    EXPECT_EQ(events.ZoomY, y);
    EXPECT_EQ(events.ImgX, 300);
}

TEST_F(DocumentEventsTest, EventsOfAnEarlierDocumentAreDropped) {
    events.DocumentComplete(sheetUrl(), true);
    const auto old = events.documentSerial();
    events.DocumentComplete(sheetUrl(), true);
    const SheetActions a = events.MouseDown(old, at(50, 130), windows);
    EXPECT_FALSE(a.showZoom || a.showLegend || a.repaintZoom);
    EXPECT_EQ(events.ImgX, 0);
    // Nor do pictures of a document that is not a drawing sheet report anything.
    events.DocumentComplete(QUrl::fromLocalFile(folder + "abcde_en.html").toString(), true);
    EXPECT_FALSE(events.MouseDown(events.documentSerial(), at(50, 130), windows).showZoom);
    // Opening a species drops what is in flight too.
    events.DocumentComplete(sheetUrl(), true);
    const auto current = events.documentSerial();
    events.prepareDocument();
    EXPECT_FALSE(events.MouseMove(current, at(50, 130), windows).repaintZoom);
}

TEST_F(DocumentEventsTest, WebDocumentsNeverOpenTheZoomAndMayBeStoppedWhileLoading) {
    values.DocSource = QStringLiteral("www");
    values.DocAddress = QStringLiteral("http://example.invalid/docs/");
    EXPECT_TRUE(
        events.BeforeNavigate2("http://example.invalid/docs/a/abcde/abcde_ds.html").enableStop);
    // Sixteen characters or fewer: nothing at all.
    const SheetActions shortOne = events.BeforeNavigate2("http://a.b/c.htm");
    EXPECT_FALSE(shortOne.enableStop || shortOne.showLegend);
    events.DocumentComplete("http://example.invalid/docs/a/abcde/abcde_ds.html", false);
    EXPECT_TRUE(events.DocPicture().isNull());
    EXPECT_FALSE(events.MouseDown(events.documentSerial(), at(50, 130), windows).showZoom);
    EXPECT_TRUE(events.loadEnded().disableStop);
}

TEST_F(DocumentEventsTest, DrawingPageShowsTheLegendInPlaceAndLocalLoadsNeedNoStop) {
    EXPECT_FALSE(
        events.BeforeNavigate2("file:///kb/documents/a/abcde/dessin_01_en.html").showLegend);
    events.LegendText = QStringLiteral("1 petal");
    const SheetActions a = events.BeforeNavigate2("file:///kb/documents/a/abcde/dessin_01_en.html");
    EXPECT_TRUE(a.showLegend);
    EXPECT_FALSE(a.placeLegend);
    EXPECT_FALSE(a.enableStop);
    EXPECT_FALSE(
        events.BeforeNavigate2("file:///kb/documents/a/abcde/abcde_dessin.html").showLegend);
}

TEST_F(DocumentEventsTest, OpeningASpeciesEmptiesThePictureAndTheLegend) {
    events.DocumentComplete(sheetUrl(), false);
    const SheetActions a = events.prepareDocument();
    EXPECT_TRUE(a.hideZoom && a.hideLegend);
    EXPECT_TRUE(events.DocPicture().isNull());
    EXPECT_TRUE(events.LegendText.isEmpty());
    const SheetActions back = events.goingBack();
    EXPECT_TRUE(back.hideZoom && back.hideLegend);
}

}  // namespace
