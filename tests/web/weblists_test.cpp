// Questions of many states in the exported player, in a real browser engine: asked as a list
// with a filter, several states ticked, confirmed with Enter; and the taxa that match only
// because they were never described marked as the desktop marks them.
#include "playerdriver.h"
#include "support/importdatasets.h"
#include "support/toolrun.h"
#include "webpage.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>
#include <QUrl>
#include <QWebEngineView>

using testing_support::chosenStates;
using testing_support::desktopRank;
using testing_support::firstState;
using testing_support::pageRank;
using testing_support::runTool;
using testing_support::siteUrl;
using testing_support::ToolRun;
using testing_support::WebPage;
using testing_support::writeFile;

namespace {

// Hosts (40 states), regions (200 states) and culms (2 states); Poa annua is described
// throughout, Poa codes its culms only, Poaceae codes nothing.
void writeDataset(const QString& folder) {
    writeFile(folder + "/specs",
              "*NUMBER OF CHARACTERS 3\n*MAXIMUM NUMBER OF STATES 200\n"
              "*MAXIMUM NUMBER OF ITEMS 4\n*NUMBERS OF STATES 1,40 2,200 3,2\n");
    QByteArray chars = "*CHARACTER LIST\n#1. host plant/\n";
    for (int s = 1; s <= 40; ++s)
        chars +=
            "     " + QByteArray::number(s) + ". " +
            (s == 3 ? QByteArray("\x8cillet des Chartreux") : "host " + QByteArray::number(s)) +
            "/\n";
    chars += "#2. region/\n";
    for (int s = 1; s <= 200; ++s)
        chars += "     " + QByteArray::number(s) + ". " +
                 (s == 1   ? QByteArray("\xcele-de-France")
                  : s == 2 ? QByteArray("x<i>ile & Co")
                           : "region " + QByteArray::number(s)) +
                 "/\n";
    chars += "#3. culms/\n     1. herbaceous/\n     2. woody/\n";
    writeFile(folder + "/chars", chars);
    writeFile(folder + "/items",
              "*ITEM DESCRIPTIONS\n"
              "# Poa annua/\n1,3/7 2,1/2 3,1\n"
              "# Poa/\n3,1\n"
              "# Poaceae/\n"
              "# Festuca ovina/\n1,5 2,9 3,2\n");
}

class WebLists : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new QTemporaryDir;
        writeDataset(dir->filePath("delta"));
        base = dir->filePath("base");
        site = dir->filePath("site");
        imported = runTool(VIREKA_KB_PATH, {"import", "delta", dir->filePath("delta"), base});
        exported = runTool(VIREKA_KB_PATH, {"export", "web", base, site});
    }
    static void TearDownTestSuite() { delete dir; }
    void SetUp() override {
        ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
        ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    }
    // Opens a question from the questions panel.
    static bool openFromPanel(WebPage& page, const QString& question) {
        const QPoint at = page.centreOf(
            QStringLiteral("#questionList .question[data-key=\"%1\"] .ask").arg(question));
        if (at.x() < 0) return false;
        page.click(at);
        return page.waitFor(QStringLiteral("document.body.dataset.question === '%1'").arg(question),
                            5000);
    }
    static bool listShown(WebPage& page) {
        return page
            .js("!document.querySelector('#choice .statelist').hidden && "
                "document.querySelector('#choice .statelist').offsetHeight > 0")
            .toBool();
    }
    static void typeFilter(WebPage& page, const QString& text) {
        page.js(QStringLiteral("(() => { const f = document.querySelector('#choice .filter'); "
                               "f.value = %1; f.dispatchEvent(new Event('input')); })()")
                    .arg(QStringLiteral("decodeURIComponent('") +
                         QString::fromLatin1(QUrl::toPercentEncoding(text)) + "')"));
    }
    static QStringList shownNames(WebPage& page) {
        return page
            .js("[...document.querySelectorAll('#choice .states li:not([hidden]) span')]"
                ".map(s => s.textContent)")
            .toStringList();
    }
    static void tick(WebPage& page, int cell) {
        page.click(
            page.centreOf(QStringLiteral("#choice .states input[data-cell=\"%1\"]").arg(cell)));
    }
    static void screenshot(WebPage& page, const QString& name) {
        const QString folder = qEnvironmentVariable("VIREKA_SCREENSHOTS");
        if (!folder.isEmpty()) page.view()->grab().save(folder + "/" + name);
    }

    static QTemporaryDir* dir;
    static QString base, site;
    static ToolRun imported, exported;
};
QTemporaryDir* WebLists::dir = nullptr;
QString WebLists::base, WebLists::site;
ToolRun WebLists::imported, WebLists::exported;

TEST_F(WebLists, FortyHostsAreAListTickedAndConfirmedWithEnter) {
    WebPage page({1024, 768});
    ASSERT_TRUE(page.open(siteUrl(site))) << page.console().toStdString();
    ASSERT_TRUE(openFromPanel(page, "C1")) << page.console().toStdString();
    ASSERT_TRUE(listShown(page));
    EXPECT_EQ(page.js("document.querySelectorAll('#choice .states li').length").toInt(), 40);
    EXPECT_TRUE(page.js("document.activeElement.classList.contains('filter')").toBool());
    typeFilter(page, "oeillet CHART");
    EXPECT_EQ(shownNames(page), QStringList{QString::fromUtf8("Œillet des Chartreux")});
    tick(page, 2);
    typeFilter(page, "host 7");
    // Every word anywhere, as the questions panel filters.
    EXPECT_EQ(shownNames(page), (QStringList{"host 7", "host 17", "host 27", "host 37"}));
    tick(page, 6);
    screenshot(page, "web-hosts-1024.png");
    page.type(Qt::Key_Return);
    ASSERT_TRUE(page.waitFor("!document.body.dataset.question"));
    const int first = firstState(page, "C1");
    EXPECT_EQ(chosenStates(page), (QList<int>{first + 2, first + 6}));
    // The described taxon first, the others marked, as the desktop prints it.
    const QStringList shown = pageRank(page);
    EXPECT_EQ(shown, desktopRank(page, base, dir->path()));
    EXPECT_EQ(shown.value(0), " 100% - Poa annua");
    EXPECT_EQ(shown.value(1), " 100% - Poa (1 unknown)");
    EXPECT_EQ(shown.value(2), " 100% - Poaceae (1 unknown)");
    EXPECT_EQ(shown.last(), " 3 species at 100 % (1 fully described)");
    screenshot(page, "web-results-1024.png");
    // Reopened, the answer is ticked; Escape leaves it as it was.
    ASSERT_TRUE(openFromPanel(page, "C1"));
    EXPECT_EQ(page.js("[...document.querySelectorAll('#choice .states input:checked')]"
                      ".map(b => Number(b.dataset.cell))")
                  .toList(),
              (QVariantList{2, 6}));
    tick(page, 2);
    page.type(Qt::Key_Escape);
    ASSERT_TRUE(page.waitFor("!document.body.dataset.question"));
    EXPECT_EQ(chosenStates(page), (QList<int>{first + 2, first + 6}));
}

TEST_F(WebLists, TwoHundredRegionsOnAPhoneFilterAndShowNamesAsText) {
    WebPage page({360, 740});
    ASSERT_TRUE(page.open(siteUrl(site))) << page.console().toStdString();
    ASSERT_TRUE(openFromPanel(page, "C2"));
    ASSERT_TRUE(listShown(page));
    EXPECT_EQ(page.js("document.querySelectorAll('#choice .states li').length").toInt(), 200);
    typeFilter(page, "ILE");
    EXPECT_EQ(shownNames(page), (QStringList{QString::fromUtf8("Île-de-France"), "x<i>ile & Co"}));
    EXPECT_EQ(page.js("document.querySelectorAll('#choice .states i').length").toInt(), 0);
    tick(page, 0);
    tick(page, 1);
    screenshot(page, "web-regions-phone.png");
    page.type(Qt::Key_Enter);
    ASSERT_TRUE(page.waitFor("!document.body.dataset.question"));
    const int first = firstState(page, "C2");
    EXPECT_EQ(chosenStates(page), (QList<int>{first, first + 1}));
    EXPECT_EQ(pageRank(page), desktopRank(page, base, dir->path()));
    // A question of two states keeps its picture.
    ASSERT_TRUE(openFromPanel(page, "C3"));
    EXPECT_FALSE(listShown(page));
    EXPECT_GT(page.js("document.querySelectorAll('#choice .cell').length").toInt(), 0);
}

}  // namespace
