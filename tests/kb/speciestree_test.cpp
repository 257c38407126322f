#include "kb/loader.h"
#include "support/testkb.h"

#include <gtest/gtest.h>

using testing_support::TestKb;

namespace {

QStringList childTexts(const kb::SpeciesTree& tree, const QString& key) {
    QStringList out;
    const int n = tree.find(key);
    if (n < 0) return {"<missing " + key + ">"};
    for (int c : tree.node(n).children) out << tree.node(c).text;
    return out;
}

}  // namespace

TEST(SpeciesTree, FamiliesSpeciesAndCommonNames) {
    TestKb base;
    base.flora = {{"SP1", "Bellis perennis", "ASTERACEAE"},
                  {"SP2", "Achillea millefolium", "ASTERACEAE"},
                  {"SP3", "Rosa canina", "rosaceae de haie"}};
    base.languages = {"Français", "English"};
    base.commonNames = {{"English", "Daisy", "SP1"},
                        {"Français", "Pâquerette", "SP1"},
                        {"Français", "Daisy", "SP2"},
                        {"English", "Dog rose", "SP3"}};
    base.write();
    kb::Model m;
    ASSERT_TRUE(kb::loadKnowledgeBase(m, base.options()).ok());
    const kb::SpeciesTree& t = m.Tree;
    ASSERT_EQ(t.roots().size(), 3u);
    EXPECT_EQ(t.node(t.roots()[0]).key, QString("Familles"));
    EXPECT_EQ(t.node(t.roots()[1]).key, QString("Espèces"));
    EXPECT_EQ(t.node(t.roots()[2]).text, QString("Common names"));
    EXPECT_EQ(childTexts(t, "Familles"), QStringList({"Asteraceae", "Rosaceae De Haie"}));
    EXPECT_EQ(childTexts(t, "ASTERACEAE"),
              QStringList({"Achillea millefolium", "Bellis perennis"}));
    EXPECT_EQ(t.node(t.find("SP2S")).tag, QString("EspASTERACEAE"));
    EXPECT_EQ(t.node(t.find("ASTERACEAE")).tag, QString("Fam"));
    // Languages in "Langue" order; a name shared by two languages has one node, under the
    // first language that has it, holding the species of both.
    EXPECT_EQ(childTexts(t, "Communs"), QStringList({"English", "Français"}));
    EXPECT_EQ(childTexts(t, "SEnglish"), QStringList({"Daisy", "Dog rose"}));
    EXPECT_EQ(childTexts(t, "SFrançais"), QStringList({"Pâquerette"}));
    EXPECT_EQ(childTexts(t, "Daisy"), QStringList({"Achillea millefolium", "Bellis perennis"}));
    EXPECT_EQ(t.node(t.find("SP2Daisy")).tag, QString("CspSP2ASTERACEAE"));
}

TEST(SpeciesTree, ARootWithoutTextInTheLanguageIsLeftOutWithItsBranch) {
    TestKb base;
    base.write();
    auto options = base.options();
    options.text = [](int k) -> std::optional<QString> {
        if (k == 1302) return std::nullopt;
        return testing_support::englishText(k);
    };
    kb::Model m;
    ASSERT_TRUE(kb::loadKnowledgeBase(m, options).ok());
    EXPECT_EQ(m.Tree.roots().size(), 2u);
    EXPECT_LT(m.Tree.find("Communs"), 0);
    EXPECT_LT(m.Tree.find("SEnglish"), 0);
    EXPECT_GE(m.Tree.find("SP1"), 0);
}

// A species of no family stays out of the family branch; the tree keeps its three roots.
TEST(SpeciesTree, ASpeciesWithoutFamilyIsNeverARoot) {
    TestKb base;
    base.flora = {{"SP1", "Alpha alpha", "ALPHIDAE"},
                  {"SP2", "Beta beta", ""},
                  {"SP3", "Gamma gamma", "ALPHIDAE"}};
    base.write();
    base.exec("UPDATE Flore SET Famille = NULL WHERE Code = 'SP3'");
    kb::Model m;
    ASSERT_TRUE(kb::loadKnowledgeBase(m, base.options()).ok());
    const kb::SpeciesTree& t = m.Tree;
    ASSERT_EQ(t.roots().size(), 3u);
    EXPECT_LT(t.find("SP2"), 0);
    EXPECT_LT(t.find("SP3"), 0);
    EXPECT_EQ(childTexts(t, "Familles"), QStringList({"Alphidae"}));
    EXPECT_EQ(childTexts(t, "ALPHIDAE"), QStringList({"Alpha alpha"}));
    EXPECT_EQ(childTexts(t, "Espèces"), QStringList({"Alpha alpha", "Beta beta", "Gamma gamma"}));
    kb::SpeciesTree bare;
    EXPECT_FALSE(bare.add("", "X", "x", "page", ""));
    EXPECT_TRUE(bare.roots().empty());
}

TEST(SpeciesTree, KeysAreUniqueAndChildrenSorted) {
    kb::SpeciesTree t;
    EXPECT_TRUE(t.addRoot("R", "Root", "livre_ferme", ""));
    EXPECT_TRUE(t.add("R", "b", "banana", "page", ""));
    EXPECT_TRUE(t.add("R", "a", "Apple", "page", ""));
    EXPECT_TRUE(t.add("R", "c", "cherry", "page", ""));
    EXPECT_FALSE(t.add("R", "B", "again", "page", "")) << "keys ignore case";
    EXPECT_FALSE(t.add("nowhere", "z", "z", "page", ""));
    EXPECT_EQ(childTexts(t, "R"), QStringList({"Apple", "banana", "cherry"}));
}

// Plain ASCII keys and keys with accents or other scripts both ignore case, and a parent found
// once takes its children as adding under its key would.
TEST(SpeciesTree, KeysIgnoreCaseWhateverTheirLettersAndParentsFoundOnce) {
    kb::SpeciesTree t;
    ASSERT_TRUE(t.addRoot("Espèces", "Species", "livre_ferme", ""));
    const int root = t.find("ESPÈCES");
    EXPECT_EQ(root, t.find("espèces"));
    EXPECT_EQ(t.addUnder(root, "Aeshna", "Aeshna", "page", ""), 1);
    EXPECT_EQ(t.find("aESHNA"), 1);
    EXPECT_EQ(t.find("aeshna"), 1);
    EXPECT_EQ(t.addUnder(root, "AESHNA", "again", "page", ""), -1);
    EXPECT_EQ(t.addUnder(root, "Éphémère", "Éphémère", "page", ""), 2);
    EXPECT_EQ(t.find("éPHÉMÈRE"), 2);
    EXPECT_EQ(t.addUnder(root, "ΑΒΓ", "Greek", "page", ""), 3);
    EXPECT_EQ(t.find("αβγ"), 3);
    EXPECT_EQ(t.find("Aeshn"), -1);
    EXPECT_EQ(t.addUnder(-1, "x", "x", "page", ""), -1) << "no parent, no node";
    EXPECT_EQ(t.addUnder(99, "x", "x", "page", ""), -1);
    EXPECT_EQ(t.addUnder(root, "", "empty", "page", ""), -1);
    EXPECT_EQ(t.size(), 4);
    EXPECT_EQ(childTexts(t, "Espèces"), QStringList({"Aeshna", "Greek", "Éphémère"}));
}

// Keys match exactly when Qt's case folding makes them equal, whichever of the tree's ways of
// folding a key (letter by letter for Latin letters, Qt's own for the rest) each one takes.
TEST(SpeciesTree, KeysMatchWhenQtsFoldingMakesThemEqual) {
    const QStringList keys = {"ANGEL",    "angel",    "ÀNGEL",   "àngel",  "µm",   "μm",   "Μm",
                              "Straße",   "STRASSE",  "strasse", "ẞtraße", "Ÿves", "ÿves", "ÆSIR",
                              "æsir",     "Øre",      "øre",     "Þorn",   "þorn", "×",    "÷",
                              "İstanbul", "istanbul", "ǅ",       "ǆ",      "Ǆ",    "Ⅻ",    "ⅻ"};
    for (const QString& a : keys) {
        kb::SpeciesTree t;
        ASSERT_TRUE(t.addRoot(a, "x", "", ""));
        for (const QString& b : keys) {
            const bool same = a.toCaseFolded() == b.toCaseFolded();
            EXPECT_EQ(t.find(b) == 0, same) << a.toStdString() << " / " << b.toStdString();
        }
    }
}

// Names in any order, equal texts, and reads between adds: the order is the same as if every
// child had been inserted at its place.
TEST(SpeciesTree, ChildrenAddedInAnyOrderReadSortedWithEqualTextsInAddOrder) {
    kb::SpeciesTree t;
    ASSERT_TRUE(t.addRoot("R", "Root", "livre_ferme", ""));
    ASSERT_TRUE(t.addRoot("S", "Second", "livre_ferme", ""));
    for (int i = 0; i < 500; ++i) {
        const int n = (i * 7919) % 500;  // a permutation of 0..499
        const QString text = QStringLiteral("name %1").arg(n / 2, 3, 10, QLatin1Char('0'));
        ASSERT_TRUE(
            t.add("R", QStringLiteral("k%1").arg(i), i % 3 ? text : text.toUpper(), "", ""));
        if (i == 250) {  // a read half-way must see the first half sorted
            ASSERT_EQ(t.node(t.find("R")).children.size(), 251u);
        }
    }
    ASSERT_TRUE(t.add("S", "z", "zeta", "", ""));
    ASSERT_TRUE(t.add("S", "y", "Alpha", "", ""));
    EXPECT_EQ(childTexts(t, "S"), QStringList({"Alpha", "zeta"}));
    const auto& children = t.node(t.find("R")).children;
    ASSERT_EQ(children.size(), 500u);
    for (size_t c = 1; c < children.size(); ++c) {
        const auto& a = t.node(children[c - 1]);
        const auto& b = t.node(children[c]);
        const int cmp = a.text.compare(b.text, Qt::CaseInsensitive);
        ASSERT_LE(cmp, 0) << a.text.toStdString() << " before " << b.text.toStdString();
        if (cmp == 0 && a.text == b.text) {  // same text: the one added first comes first
            EXPECT_LT(a.key.mid(1).toInt(), b.key.mid(1).toInt());
        }
    }
}

TEST(ProperCase, FirstLetterOfEachWordUpper) {
    EXPECT_EQ(kb::properCase("ASTERACEAE"), QString("Asteraceae"));
    EXPECT_EQ(kb::properCase("rosaceae de haie"), QString("Rosaceae De Haie"));
    EXPECT_EQ(kb::properCase(""), QString(""));
}

// Deferred branches are read in the order deferred, once, by the first reader that needs the
// whole tree or the first add; the "so far" readers leave them unread.
TEST(SpeciesTree, DeferredBranchesAreReadOnceInOrderWhenTheWholeTreeIsNeeded) {
    kb::SpeciesTree t;
    ASSERT_TRUE(t.addRoot("A", "a", "", ""));
    ASSERT_TRUE(t.addRoot("B", "b", "", ""));
    QStringList log;
    t.defer(0, [&] {
        log << "A";
        // A name already added by the branch deferred after this one would be refused here.
        EXPECT_TRUE(t.add("A", "x", "from A", "", ""));
        log << QString::number(t.find("y"));
    });
    t.defer(1, [&] {
        log << "B";
        EXPECT_FALSE(t.add("B", "X", "from B", "", "")) << "A's node came first";
        EXPECT_TRUE(t.add("B", "y", "y", "", ""));
    });
    t.defer(-1, [&] { log << "never"; });
    EXPECT_TRUE(t.isDeferred(0));
    EXPECT_TRUE(t.isDeferred(1));
    EXPECT_EQ(t.nodesSoFar().size(), 2u);
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(t.find("Y"), 3);
    EXPECT_EQ(log, QStringList({"A", "-1", "B"})) << "B ran after A, not inside it";
    EXPECT_FALSE(t.isDeferred(0));
    EXPECT_EQ(t.size(), 4);
    EXPECT_EQ(t.find("y"), 3);
    EXPECT_EQ(log.size(), 3);

    kb::SpeciesTree u;
    ASSERT_TRUE(u.addRoot("R", "r", "", ""));
    u.defer(0, [&] { u.add("R", "k", "deferred", "", ""); });
    EXPECT_FALSE(u.add("R", "K", "added later", "", ""))
        << "an add reads the deferred branch first, as if it had been read at once";
    EXPECT_EQ(u.node(u.find("k")).text, QString("deferred"));
}

// Loading leaves the common names for the first reader; a name that is a family's key joins
// that family, as when names were read at once.
TEST(SpeciesTree, CommonNamesAreReadWhenFirstNeededAndJoinNodesOfTheSameKey) {
    TestKb base;
    base.flora = {{"SP1", "Bellis perennis", "ASTERACEAE"},
                  {"SP2", "Rosa canina", "ROSACEAE"},
                  {"SP3", "Achillea millefolium", "ASTERACEAE"}};
    base.languages = {"English"};
    base.commonNames = {{"English", "Daisy", "SP1"}, {"English", "Rosaceae", "SP2"}};
    base.write();
    kb::Model m;
    ASSERT_TRUE(kb::loadKnowledgeBase(m, base.options()).ok());
    const kb::SpeciesTree& t = m.Tree;
    ASSERT_EQ(t.roots().size(), 3u);
    const int common = t.roots()[2];
    EXPECT_TRUE(t.isDeferred(common));
    EXPECT_TRUE(t.nodesSoFar()[size_t(common)].children.empty());
    EXPECT_EQ(childTexts(t, "Communs"), QStringList({"English"}));
    EXPECT_FALSE(t.isDeferred(common));
    EXPECT_EQ(childTexts(t, "SEnglish"), QStringList({"Daisy"}));
    EXPECT_EQ(childTexts(t, "ROSACEAE"), QStringList({"Rosa canina", "Rosa canina"}));
    EXPECT_EQ(t.node(t.find("SP2Rosaceae")).tag, QString("CspSP2ROSACEAE"));

    // A second load drops the first tree's pending names with the rest of it.
    kb::Model again;
    ASSERT_TRUE(kb::loadKnowledgeBase(again, base.options()).ok());
    ASSERT_TRUE(kb::loadKnowledgeBase(again, base.options()).ok());
    EXPECT_EQ(childTexts(again.Tree, "Daisy"), QStringList({"Bellis perennis"}));
}

// A names view that cannot be read when the branch is opened leaves the language empty; the
// rest of the tree stays as loaded.
TEST(SpeciesTree, ANamesViewThatFailsWhenOpenedLeavesItsLanguageEmpty) {
    TestKb base;
    base.languages = {"English"};
    base.commonNames = {{"English", "Daisy", "SP1"}};
    base.write();
    kb::Model m;
    ASSERT_TRUE(kb::loadKnowledgeBase(m, base.options()).ok());
    base.exec("DROP TABLE Noms_Communs");  // the view now names a table that is gone
    EXPECT_EQ(childTexts(m.Tree, "Communs"), QStringList({"English"}));
    EXPECT_TRUE(childTexts(m.Tree, "SEnglish").isEmpty());
    EXPECT_LT(m.Tree.find("Daisy"), 0);
    EXPECT_GE(m.Tree.find("SP1"), 0);
}

// The families and species wait for the first reader of the tree too, the species view
// being closed at start-up; read, they are what loading them at once gave, and the model's
// cursor on "Flore" has not moved.
TEST(SpeciesTree, FamiliesAndSpeciesAreReadWhenTheTreeIsFirstRead) {
    TestKb base;
    base.flora = {{"SP1", "Bellis perennis", "ASTERACEAE"},
                  {"SP2", "Rosa canina", "ROSACEAE"},
                  {"SP3", "Achillea millefolium", "ASTERACEAE"}};
    base.write();
    kb::Model m;
    ASSERT_TRUE(kb::loadKnowledgeBase(m, base.options()).ok());
    const kb::SpeciesTree& t = m.Tree;
    ASSERT_EQ(t.roots().size(), 3u);
    EXPECT_EQ(t.nodesSoFar().size(), 3u) << "only the roots before the tree is read";
    EXPECT_TRUE(t.isDeferred(t.roots()[0]));
    EXPECT_TRUE(t.isDeferred(t.roots()[1]));
    EXPECT_EQ(childTexts(t, "Espèces"),
              QStringList({"Achillea millefolium", "Bellis perennis", "Rosa canina"}));
    EXPECT_FALSE(t.isDeferred(t.roots()[0]));
    EXPECT_EQ(childTexts(t, "Familles"), QStringList({"Asteraceae", "Rosaceae"}));
    EXPECT_EQ(childTexts(t, "ASTERACEAE"),
              QStringList({"Achillea millefolium", "Bellis perennis"}));
    EXPECT_EQ(t.node(t.find("SP2S")).tag, QString("EspROSACEAE"));
    EXPECT_EQ(m.FloraTable.position(), 0);
}
