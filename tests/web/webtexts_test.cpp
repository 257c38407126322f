// The exported player in the reader's language: the key's own texts in French or Spanish
// where the base gives them, its pictures of choices drawn in that language, and back.
#include "playerdriver.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

void chooseLanguage(WebPage& page, int code) {
    page.js(QStringLiteral("(() => { const s = document.getElementById('language');"
                           " s.value = '%1'; s.dispatchEvent(new Event('change')); })()")
                .arg(code));
}

QString text(WebPage& page, const QString& script) {
    return page.js(script).toString();
}

TEST(WebTexts, OnAPhoneTheKeySpeaksTheChosenLanguageAndFallsBackToItsOwn) {
    WebPage page({360, 740});
    ASSERT_TRUE(page.open(siteUrl(VIREKA_DEMO_WEB))) << page.console().toStdString();
    const QString captions =
        "[...document.querySelectorAll('#deterBar button span')].map((s) => s.textContent)"
        ".join('|')";
    const QString panel = "document.getElementById('questionList').textContent";
    // The questions panel is written while it shows: on a phone, on its own tab.
    page.click(page.centreOf("#tabs button[data-tab=questions]"));
    chooseLanguage(page, 0);
    EXPECT_TRUE(text(page, captions).startsWith("Search|Results|Suborder|Sex"));
    EXPECT_TRUE(text(page, panel).contains("Suborder: wings and eyes"));

    chooseLanguage(page, 1);
    EXPECT_TRUE(text(page, captions).startsWith("Buscar|Resultados|Suborden|Sexo"))
        << text(page, captions).toStdString();
    EXPECT_EQ(text(page, "document.querySelector('#deterBar button:nth-child(3)').title"),
              "¿Libélula o caballito del diablo?");
    EXPECT_TRUE(text(page, panel).contains("Suborden: alas y ojos"));
    EXPECT_TRUE(text(page, panel).contains("Aspecto general"));
    EXPECT_FALSE(text(page, panel).contains("Whole insect"));
    EXPECT_EQ(text(page, "document.title"), "Libélulas y caballitos del diablo de Europa");

    // The picture of choices drawn in Spanish, its cells named in Spanish.
    page.js("VirekaPlayer.openQuestion(VirekaPlayer.key.objectIndex('WING_MARK'), false)");
    ASSERT_TRUE(page.waitFor("document.body.dataset.question === 'WING_MARK'"));
    const QString picture = "document.querySelector('#choice .part').style.backgroundImage";
    EXPECT_TRUE(text(page, picture).contains("_es.png")) << text(page, picture).toStdString();
    EXPECT_EQ(text(page, "document.querySelector('#choice .name').textContent"), "Hialinas");
    EXPECT_EQ(text(page, "document.getElementById('status').textContent"),
              "Color y manchas de las alas");

    // Switched while the question is open: the picture and the texts follow at once.
    chooseLanguage(page, 2);
    EXPECT_TRUE(text(page, picture).contains("_fr.png"));
    EXPECT_EQ(text(page, "document.querySelector('#choice .name').textContent"), "Hyalines");
    EXPECT_EQ(text(page, "document.getElementById('status').textContent"),
              "Couleur et taches des ailes");
    chooseLanguage(page, 0);
    EXPECT_FALSE(text(page, picture).contains("_fr.png"));
    EXPECT_EQ(text(page, "document.querySelector('#choice .name').textContent"), "Clear");
    EXPECT_TRUE(text(page, captions).startsWith("Search|Results|Suborder"));
    EXPECT_EQ(page.console().count("Error"), 0) << page.console().toStdString();
}

}  // namespace

// Two species compared from their documents: the table's questions and states are written in
// the reader's language, and again in the key's own when the reader switches back.
TEST(WebTexts, TheComparisonOfTwoSpeciesSpeaksTheChosenLanguage) {
    WebPage page({1280, 800});
    ASSERT_TRUE(page.open(siteUrl(VIREKA_DEMO_WEB))) << page.console().toStdString();
    chooseLanguage(page, 1);
    for (const auto& [code, name] :
         {std::pair{"CALVI", "Calopteryx virgo"}, std::pair{"BRAPR", "Brachytron pratense"}}) {
        page.js(QStringLiteral("VirekaPlayer.openDocument('%1', '%2')").arg(code, name));
        ASSERT_TRUE(page.waitFor(
            QStringLiteral("document.getElementById('docTitle').textContent === '%1' &&"
                           " !document.getElementById('compareAdd').disabled")
                .arg(name)))
            << name << page.console().toStdString();
        page.js("document.getElementById('compareAdd').click()");
    }
    const QString table = "document.getElementById('comparison').textContent";
    ASSERT_TRUE(page.waitFor("document.querySelectorAll('#comparison table').length > 0"));
    EXPECT_TRUE(text(page, table).contains("Suborden: alas y ojos"))
        << text(page, table).toStdString();
    EXPECT_FALSE(text(page, table).contains("Suborder: wings and eyes"));
    chooseLanguage(page, 0);
    EXPECT_TRUE(text(page, table).contains("Suborder: wings and eyes"))
        << text(page, table).toStdString();
}
