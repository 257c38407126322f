#include "questionsfixture.h"
#include "testwindow.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using questions::CharacterToolbars;

namespace {

class CharacterToolbarsTest : public QuestionsTest {
protected:
    std::unique_ptr<TestWindow> open() {
        auto window = std::make_unique<TestWindow>(*engine, model, dialogs, base.dataDir());
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window;
    }
};

TEST_F(CharacterToolbarsTest, ButtonsAlternateWithSeparatorsAndCarryTheRows) {
    base.questButtons.push_back({"Skip", "skip.bmp", "Propose another", ""});
    base.parameters["Nb_But_Quest"] = "3";
    load();
    const auto w = open();
    EXPECT_TRUE(w->loaded) << w->toolbars.errorString().toStdString();
    const QList<QAction*> deter = w->Barre_Deter->actions();
    ASSERT_EQ(deter.size(), 4);
    EXPECT_FALSE(deter[0]->isSeparator());
    EXPECT_TRUE(deter[1]->isSeparator());
    EXPECT_TRUE(deter[3]->isSeparator());
    EXPECT_EQ(deter[2]->text(), "Wings");
    EXPECT_EQ(deter[2]->toolTip(), "Wings");
    EXPECT_EQ(deter[2]->data().toString(), "AILE");
    EXPECT_EQ(deter[0]->data().toString(), "Search");
    EXPECT_FALSE(deter[0]->icon().isNull());
    ASSERT_EQ(w->Barre_Question->actions().size(), 6);
    EXPECT_EQ(CharacterToolbars::entry(w->Barre_Question, 5)->toolTip(), "Propose another");
    EXPECT_TRUE(CharacterToolbars::entry(w->Barre_Question, 6)->isSeparator());
    EXPECT_EQ(CharacterToolbars::entry(w->Barre_Question, 7), nullptr);
    // Its own width plus a margin.
    EXPECT_GT(w->Barre_Deter->width(), w->Barre_Deter->sizeHint().width());

    QSignalSpy clicks(&w->toolbars, &CharacterToolbars::deterClicked);
    QTest::mouseClick(w->Barre_Deter->widgetForAction(deter[2]), Qt::LeftButton);
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks[0][0].toInt(), 3);
    EXPECT_EQ(clicks[0][1].toString(), "AILE");

    w->toolbars.setSkipButtonVisible(false);
    EXPECT_FALSE(CharacterToolbars::entry(w->Barre_Question, 5)->isVisible());
    EXPECT_TRUE(CharacterToolbars::entry(w->Barre_Question, 3)->isVisible());
}

TEST_F(CharacterToolbarsTest, AnUnreadablePictureIsReportedAndTheRestBuilt) {
    load();
    QFile::remove(base.dataDir() + "search.bmp");
    base.writeFile("search.bmp", "not a picture");
    const auto w = open();
    EXPECT_FALSE(w->loaded);
    EXPECT_TRUE(w->toolbars.errorString().contains("search.bmp"));
    ASSERT_EQ(w->Barre_Deter->actions().size(), 4);
    EXPECT_TRUE(w->Barre_Deter->actions()[0]->icon().isNull());
    EXPECT_FALSE(w->Barre_Deter->actions()[2]->icon().isNull());
}

// A name that leads out of the knowledge base is a missing picture: the file it reaches is
// never opened, even when it is a good picture.
TEST_F(CharacterToolbarsTest, PicturesNamedOutsideTheBaseAreNeverOpened) {
    QTemporaryDir elsewhere;
    base.deterButtons[0].file = "link.bmp";
    base.deterButtons[1].file = "../" + QFileInfo(elsewhere.path()).fileName() + "/aile.bmp";
    load();
    ASSERT_TRUE(QFile::exists(elsewhere.filePath("aile.bmp")));
    ASSERT_TRUE(QFile::remove(base.dataDir() + "link.bmp"));
    ASSERT_TRUE(QFile::link(elsewhere.filePath("aile.bmp"), base.dataDir() + "link.bmp"));
    const auto w = open();
    EXPECT_FALSE(w->loaded);
    EXPECT_TRUE(w->toolbars.errorString().contains("leads out"))
        << w->toolbars.errorString().toStdString();
    ASSERT_EQ(w->Barre_Deter->actions().size(), 4);
    EXPECT_TRUE(w->Barre_Deter->actions()[0]->icon().isNull());
    EXPECT_TRUE(w->Barre_Deter->actions()[2]->icon().isNull());
    EXPECT_EQ(w->Barre_Deter->actions()[2]->text(), "Wings");
}

}  // namespace
