#include "questionsfixture.h"
#include "testwindow.h"

#include <QAction>
#include <QImage>
#include <QTest>

using questions::CharacterToolbars;

namespace {

// The toolbars and the picture of choices of a base whose texts have a French version.
class BaseTextsUiTest : public QuestionsTest {
protected:
    TestWindow& open() {
        load();
        window = std::make_unique<TestWindow>(*engine, model, dialogs, base.dataDir());
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return *window;
    }
    QString caption(QToolBar* bar, int entry) const {
        return CharacterToolbars::entry(bar, entry)->text();
    }
    QString tip(QToolBar* bar, int entry) const {
        return CharacterToolbars::entry(bar, entry)->toolTip();
    }
    std::unique_ptr<TestWindow> window;
};

TEST_F(BaseTextsUiTest, TheToolbarsShowTheTextsOfTheLanguageAndSwitchBack) {
    TestWindow& w = open();
    QString language = QStringLiteral("fr");
    // French for the second character button and the first question button only.
    w.toolbars.setTexts([&language](bool questionBar, int row, bool isTip, const QString& own) {
        if (language != QLatin1String("fr")) return own;
        if (!questionBar && row == 2)
            return isTip ? QString("Couleur des ailes") : QString("Ailes");
        if (questionBar && row == 1 && !isTip) return QString("Valider");
        return own;
    });
    EXPECT_EQ(caption(w.Barre_Deter, 3), "Wings") << "nothing changes before a rebuild";
    ASSERT_TRUE(w.toolbars.retranslate());
    EXPECT_EQ(caption(w.Barre_Deter, 3), "Ailes");
    EXPECT_EQ(tip(w.Barre_Deter, 3), "Couleur des ailes");
    EXPECT_EQ(caption(w.Barre_Deter, 1), "Search") << "a button without French stays English";
    EXPECT_EQ(caption(w.Barre_Question, 1), "Valider");
    EXPECT_EQ(tip(w.Barre_Question, 1), "Confirm");
    EXPECT_EQ(CharacterToolbars::entry(w.Barre_Deter, 3)->data().toString(), "AILE")
        << "the buttons still open their questions";
    w.toolbars.Recharge_Barre();
    EXPECT_EQ(caption(w.Barre_Deter, 3), "Ailes") << "a rebuild keeps the language";
    w.toolbars.setSkipButtonVisible(false);
    language = "en";
    w.toolbars.retranslate();
    EXPECT_EQ(caption(w.Barre_Deter, 3), "Wings");
    EXPECT_EQ(caption(w.Barre_Question, 1), "OK");
    EXPECT_FALSE(CharacterToolbars::entry(w.Barre_Question, 3)->isVisible())
        << "the skip button keeps what it showed";
}

TEST_F(BaseTextsUiTest, ThePictureOfChoicesOfTheLanguageIsShownWhenItExists) {
    TestWindow& w = open();
    QImage french(120, 40, QImage::Format_RGB32);
    french.fill(QColor(0xC0, 0x20, 0x20));
    ASSERT_TRUE(french.save(base.dataDir() + "aile_fr.bmp", "PNG"));
    const auto shownColour = [&w] { return w.Pic_Choix->pixmap().toImage().pixelColor(5, 5); };
    ASSERT_TRUE(w.controller.ShowQuestion("aile.bmp"));
    EXPECT_NE(shownColour(), QColor(0xC0, 0x20, 0x20)) << "no language: the base's own";
    w.controller.setPictureLanguage("fr");
    ASSERT_TRUE(w.controller.ShowQuestion("aile.bmp"));
    EXPECT_EQ(shownColour(), QColor(0xC0, 0x20, 0x20));
    w.controller.setPictureLanguage("es");  // no Spanish picture: the base's own
    ASSERT_TRUE(w.controller.ShowQuestion("aile.bmp"));
    EXPECT_NE(shownColour(), QColor(0xC0, 0x20, 0x20));
    w.controller.setPictureLanguage("fr");  // French only for the other question
    ASSERT_TRUE(w.controller.ShowQuestion("patte.bmp"));
    EXPECT_NE(shownColour(), QColor(0xC0, 0x20, 0x20));
}

}  // namespace
