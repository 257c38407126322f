#include "authoring/import/sddreader.h"
#include "support/importdatasets.h"
#include "support/sdddatasets.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

using namespace authoring;
using testing_support::writeFile;

namespace {

struct Violets : ::testing::Test {
    QTemporaryDir dir;
    Dataset data;
    void SetUp() override {
        testing_support::writeSddViolets(dir.path());
        SddReader reader;
        ASSERT_TRUE(reader.read(dir.path() + "/violets.sdd.xml", data))
            << reader.errorString().toStdString();
    }
    int character(const QString& id) {
        for (int c = 0; c < data.characters.size(); ++c)
            if (data.characters[c].id == id) return c;
        return -1;
    }
};

QString readError(const QString& file, const QByteArray& xml, int dataset = 0) {
    writeFile(file, xml);
    Dataset d;
    SddReader reader;
    EXPECT_FALSE(reader.read(file, d, dataset));
    return reader.errorString();
}

}  // namespace

TEST_F(Violets, CharactersFollowTheTreeWithGroupsAndKeepIdsThatDifferInCase) {
    QStringList ids;
    for (const Character& c : data.characters) ids << c.id;
    // The tree's order first, then the characters it does not place.
    EXPECT_EQ(ids, (QStringList{"q", "Q", "c1", "c2", "c5", "c3", "c4"}));
    EXPECT_EQ(data.characters[0].group, "Flowers");
    EXPECT_EQ(data.characters[2].group, "Leaves");
    EXPECT_EQ(data.characters[4].group, "Leaves");  // below a node of its own without a concept
    EXPECT_EQ(data.characters[3].type, Character::Real);
    EXPECT_EQ(data.characters[3].unit, "mm");
    EXPECT_EQ(data.characters[5].type, Character::Text);
    EXPECT_EQ(data.characters[1].states[1].label, "long");
}

TEST_F(Violets, RulesOnCharacterNodesAndOnNodesBecomeDependencies) {
    ASSERT_EQ(data.dependencies.size(), 2);
    // Spur does not apply to white petals: it applies under violet and yellow.
    EXPECT_EQ(data.dependencies[0].controller, character("q"));
    EXPECT_EQ(data.dependencies[0].dependant, character("Q"));
    EXPECT_EQ(data.dependencies[0].applicableUnder, (QList<int>{0, 2}));
    // The node's rule holds for the leaflet shape below it: only under compound leaves.
    EXPECT_EQ(data.dependencies[1].controller, character("c1"));
    EXPECT_EQ(data.dependencies[1].dependant, character("c5"));
    EXPECT_EQ(data.dependencies[1].applicableUnder, QList<int>{1});
}

TEST_F(Violets, DescriptionsReadStatesMeasuresTextAndStatus) {
    ASSERT_EQ(data.items.size(), 4);
    const Item& hederacea = data.items[0];
    EXPECT_EQ(hederacea.name, "Viola hederacea Labill.");
    EXPECT_EQ(hederacea.htmlName, "<i>Viola hederacea</i> Labill.");
    EXPECT_EQ(hederacea.attributes[character("q")].states,
              (QList<int>{0, 2}));                                        // two elements add up
    EXPECT_EQ(hederacea.attributes[character("c2")].ranges[0].low, 2.3);  // Min..Max before Mean
    EXPECT_EQ(hederacea.attributes[character("c2")].ranges[0].high, 7.9);
    EXPECT_EQ(hederacea.attributes[character("c3")].text, "Moist forest");
    EXPECT_EQ(hederacea.attributes[character("c5")].kind, Attribute::Inapplicable);
    EXPECT_EQ(data.items[1].attributes[character("c2")].ranges[0].low, 30);      // the Mean alone
    EXPECT_EQ(data.items[1].attributes[character("c5")].states, QList<int>{0});  // modifier kept
    EXPECT_EQ(data.items[2].attributes[character("c1")].kind, Attribute::Unknown);
    EXPECT_EQ(data.items[2].attributes[character("c2")].ranges[0].high, 20);  // usual range
    // Without a Scope the description's own label names the taxon; a state of another
    // character is noted, not taken.
    EXPECT_EQ(data.items[3].name, "Viola odorata");
    EXPECT_EQ(data.items[3].attributes[character("q")].states, QList<int>{1});
    EXPECT_TRUE(data.notes.join('\n').contains("a state of another character"));
}

TEST_F(Violets, PicturesAreTakenOnlyFromInsideTheFilesFolder) {
    EXPECT_TRUE(data.characters[2].states[0].image.endsWith("images/leaf.png"));
    EXPECT_TRUE(
        data.characters[2].states[1].image.endsWith("images/broken.png"));  // judged when used
    ASSERT_EQ(data.items[0].images.size(), 1);
    EXPECT_TRUE(data.items[0].images[0].endsWith("images/flower.png"));
    EXPECT_TRUE(data.notes.join('\n').contains("../outside.png is missing or outside"));
}

TEST(SddReader, AFileThatCannotBeReadIsReportedWithItsLine) {
    QTemporaryDir dir;
    const QString f = dir.path() + "/bad.xml";
    EXPECT_TRUE(
        readError(f, "<Datasets>\n<Dataset>\n<Characters>\n</Dataset>\n").startsWith(f + ":4: "));
    EXPECT_EQ(readError(f, "<Datasets>\n</Datasets>\n"), f + ":1: no Dataset 1 in the file");
    EXPECT_EQ(readError(f, "<Datasets>\n <Dataset>\n  <Characters/>\n </Dataset>\n</Datasets>\n"),
              f + ":2: the dataset has no characters");
    // Entities are not expanded without bound and external ones are not fetched.
    const QByteArray laughs =
        "<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
        "\"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
        "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d "
        "\"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
        "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\"><!ENTITY f "
        "\"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">]>"
        "<Datasets><Dataset><Representation><Label>&f;</Label></Representation></Dataset></"
        "Datasets>";
    EXPECT_FALSE(readError(f, laughs).isEmpty());
    QTemporaryDir none;
    Dataset d;
    SddReader reader;
    EXPECT_FALSE(reader.read(none.path() + "/missing.xml", d));
    EXPECT_TRUE(reader.errorString().contains("no such file"));
}

TEST(SddReader, TheDatasetAskedForIsRead) {
    QTemporaryDir dir;
    testing_support::writeSddViolets(dir.path());
    Dataset d;
    SddReader reader;
    EXPECT_FALSE(reader.read(dir.path() + "/violets.sdd.xml", d, 1));
    EXPECT_TRUE(reader.errorString().endsWith("the dataset has no characters"));
    EXPECT_EQ(d.title, "Second dataset");
}

namespace {

struct Flora : ::testing::Test {
    QTemporaryDir dir;
    Dataset data;
    void read(const QString& language = QString()) {
        testing_support::writeSddFlora(dir.path());
        SddReader reader;
        reader.setLanguage(language);
        ASSERT_TRUE(reader.read(dir.path() + "/flora.sdd.xml", data))
            << reader.errorString().toStdString();
    }
    const Character& character(const QString& id) {
        for (const Character& c : data.characters)
            if (c.id == id) return c;
        ADD_FAILURE() << "no character " << id.toStdString();
        static const Character none;
        return none;
    }
};

}  // namespace

TEST_F(Flora, LabelsAreTextInTheDatasetsLanguage) {
    read();
    EXPECT_EQ(data.title, "Composites of the dry hills");  // not the abbreviation
    EXPECT_EQ(data.language, "en");
    EXPECT_EQ(character("len").label, "Achenes <length>");
    EXPECT_EQ(character("fam").label, "Tribe <as in the flora>");
    EXPECT_EQ(character("hair").label, "Hairs");
    EXPECT_EQ(character("hair").states[1].label, "present");
    EXPECT_EQ(character("shape2").distinctions, QStringList{"Shape of the inner bracts"});
    EXPECT_EQ(data.items[1].name, "Crepis <sp. nov.>");
    EXPECT_EQ(data.items[1].htmlName, "<i>Crepis</i> &lt;sp. nov.&gt;");
    EXPECT_EQ(data.items[0].attributes[data.characters.size() - 1].text, "seen <rarely> on chalk");
    EXPECT_EQ(data.characters.last().id, "note");
}

TEST_F(Flora, AnotherLanguageIsReadWhenAskedFor) {
    read("nl");
    EXPECT_EQ(data.title, "Composieten van de droge heuvels");
    EXPECT_EQ(data.language, "nl");
    EXPECT_EQ(character("hair").label, "Haren");
    EXPECT_EQ(character("hair").states[0].label, "afwezig");
    EXPECT_EQ(character("len").label, "Achenes <length>");  // in no other language
}

TEST_F(Flora, TheFirstTreeOrdersAndALaterOneGroups) {
    read();
    QStringList ids;
    for (const Character& c : data.characters) ids << c.id;
    EXPECT_EQ(ids, (QStringList{"fam", "len", "wid", "hair", "hair_s", "lh", "lh2", "shape1",
                                "shape2", "colA", "colB", "host", "note"}));
    EXPECT_EQ(character("len").group, "Fruit");
    EXPECT_EQ(character("hair").group, "Leaves");
    EXPECT_EQ(character("hair_s").group, "Stems");  // its first place under a named node
    EXPECT_EQ(character("fam").group, "");
    // The second tree's rule: sparse or dense hairs only where hairs are present.
    ASSERT_EQ(data.dependencies.size(), 1);
    EXPECT_EQ(data.characters[data.dependencies[0].controller].id, "hair");
    EXPECT_EQ(data.characters[data.dependencies[0].dependant].id, "hair_s");
    EXPECT_EQ(data.dependencies[0].applicableUnder, QList<int>{1});
}

TEST_F(Flora, MediaOnTheWebBecomeLinksAndAreCounted) {
    read();
    ASSERT_EQ(data.items[0].links.size(), 1);
    EXPECT_EQ(data.items[0].links[0].label, "Habit");
    EXPECT_EQ(data.items[0].links[0].url, "https://example.org/crepis.jpg?a=1&b=2");
    EXPECT_TRUE(data.items[1].links.isEmpty());
    ASSERT_EQ(character("hair").links.size(), 1);
    EXPECT_EQ(character("hair").links[0].url, "http://example.org/hairs.png");
    EXPECT_EQ(character("hair").stateLinks.keys(), QList<int>{1});
    EXPECT_EQ(character("hair").stateLinks[1][0].label, "https://example.org/present.png");
    const QString notes = data.notes.join('\n');
    EXPECT_TRUE(notes.contains("3 media given as web addresses are kept as links"))
        << notes.toStdString();
    EXPECT_TRUE(notes.contains("ftp://example.org/old.png is neither")) << notes.toStdString();
}

// The usual range decides what a taxon shows; Min and Max beside it only widen it.
TEST(SddReader, ExtremesWidenTheUsualRangeAndNeverReplaceIt) {
    QTemporaryDir dir;
    testing_support::writeSddMeasures(dir.path());
    Dataset data;
    SddReader reader;
    ASSERT_TRUE(reader.read(dir.path() + "/measures.sdd.xml", data))
        << reader.errorString().toStdString();
    ASSERT_EQ(data.items.size(), 6);
    ASSERT_EQ(data.characters[1].id, "len");
    const auto range = [&data](int item, int c) {
        const auto& r = data.items[item].attributes[c].ranges;
        return r.isEmpty() ? QList<double>{}
                           : QList<double>{r[0].lowest(), r[0].low, r[0].high, r[0].highest()};
    };
    EXPECT_EQ(range(0, 1), (QList<double>{8, 10, 12, 12}));     // usually 10-12, at least 8
    EXPECT_EQ(range(1, 1), (QList<double>{3.5, 3.5, 6.5, 9}));  // mean 5, SD 1.5, at most 9
    EXPECT_EQ(range(2, 1), (QList<double>{2, 2, 4, 4}));        // Min..Max alone
    EXPECT_EQ(range(3, 1), (QList<double>{0.6, 0.6, 0.6, 0.6}));
    EXPECT_EQ(range(4, 1), (QList<double>{6, 8, 10, 15}));  // observed extremes
    EXPECT_EQ(range(5, 1), (QList<double>{12, 12, 20, 30}));
    EXPECT_EQ(range(2, 2), (QList<double>{4, 4, 6, 10}));
    EXPECT_EQ(range(3, 2), (QList<double>{1, 1, 3, 3}));
    EXPECT_EQ(range(1, 2), (QList<double>{0.2, 0.2, 0.4, 0.4}));  // 0.3 +/- 0.1, as written
    // A usual range never passes the extremes given: mean 8 +/- 2 with a Min of 7.
    EXPECT_EQ(range(5, 2), (QList<double>{7, 7, 10, 10}));
}

namespace {

// Ranges named by concept states, a group worded in two languages, and taxon names whose
// detail texts are common names or descriptions.
const QByteArray kWorded = R"(<Datasets xmlns="http://rs.tdwg.org/UBIF/2006/">
 <Dataset xml:lang="en">
  <Representation><Label>Worded</Label></Representation>
  <TaxonNames>
   <TaxonName id="t1"><Representation><Label>Viola alba</Label>
    <Detail xml:lang="fr">Violette blanche</Detail>
    <Detail>White violet</Detail>
    <Detail xml:lang="en">A perennial herb of shaded places, with white flowers and heart-shaped leaves, found across Europe.</Detail>
    <Detail xml:lang="it">Una pianta perenne dei luoghi ombrosi con fiori bianchi e foglie a forma di cuore che si trova in tutta Europa</Detail>
    <Detail xml:lang="de" role="Caption">Weisses Veilchen</Detail>
    <Detail xml:lang="es">Violeta
     blanca</Detail>
   </Representation></TaxonName>
   <TaxonName id="t2"><Representation><Label>Viola rupestris</Label></Representation></TaxonName>
  </TaxonNames>
  <DescriptiveConcepts>
   <DescriptiveConcept id="dc1"><Representation><Label>Leaves</Label><Label xml:lang="es">Hojas</Label></Representation></DescriptiveConcept>
   <DescriptiveConcept id="dc2"><Representation><Label>Length</Label></Representation>
    <ConceptStates>
     <StateDefinition id="short"><Representation><Label>Short</Label><Label xml:lang="fr">Court</Label></Representation></StateDefinition>
     <StateDefinition id="long"><Representation><Label>Long</Label></Representation></StateDefinition>
    </ConceptStates></DescriptiveConcept>
  </DescriptiveConcepts>
  <Characters>
   <CategoricalCharacter id="colour"><Representation><Label>Colour</Label></Representation>
    <States><StateDefinition id="white"><Representation><Label>White</Label></Representation></StateDefinition>
     <StateDefinition id="blue"><Representation><Label>Blue</Label></Representation></StateDefinition></States>
   </CategoricalCharacter>
   <QuantitativeCharacter id="leaf"><Representation><Label>Leaf length</Label></Representation>
    <Mappings><Mapping><From lower="-INF" upper="10"/><ToState ref="short"/></Mapping>
     <Mapping><From lower="10" upper="INF"/><ToState ref="long"/></Mapping></Mappings>
   </QuantitativeCharacter>
   <QuantitativeCharacter id="twice"><Representation><Label>Petal length</Label></Representation>
    <Mappings><Mapping><From lower="-INF" upper="3"/><ToState ref="short"/></Mapping>
     <Mapping><From lower="3" upper="6"/><ToState ref="short"/></Mapping>
     <Mapping><From lower="6" upper="INF"/><ToState ref="long"/></Mapping></Mappings>
   </QuantitativeCharacter>
   <QuantitativeCharacter id="other"><Representation><Label>Sepal length</Label></Representation>
    <Mappings><Mapping><From lower="-INF" upper="3"/><ToState ref="white"/></Mapping>
     <Mapping><From lower="3" upper="INF"/><ToState ref="blue"/></Mapping></Mappings>
   </QuantitativeCharacter>
  </Characters>
  <CharacterTrees><CharacterTree id="ct"><Representation><Label>Tree</Label></Representation>
   <Nodes><Node id="n1"><DescriptiveConcept ref="dc1"/></Node>
    <CharNode><Parent ref="n1"/><Character ref="leaf"/></CharNode></Nodes></CharacterTree></CharacterTrees>
  <CodedDescriptions>
   <CodedDescription id="d1"><Representation><Label>Viola alba</Label></Representation>
    <Scope><TaxonName ref="t1"/></Scope>
    <SummaryData><Quantitative ref="leaf"><Measure type="Min" value="5"/><Measure type="Max" value="8"/></Quantitative></SummaryData>
   </CodedDescription>
   <CodedDescription id="d2"><Representation><Label>Viola rupestris</Label></Representation>
    <Scope><TaxonName ref="t2"/></Scope>
    <SummaryData><Quantitative ref="leaf"><Measure type="Min" value="12"/><Measure type="Max" value="14"/></Quantitative></SummaryData>
   </CodedDescription>
  </CodedDescriptions>
 </Dataset>
</Datasets>
)";

}  // namespace

TEST(SddReader, ConceptStatesWordRangesAndShortDetailsAreCommonNames) {
    QTemporaryDir dir;
    writeFile(dir.path() + "/worded.xml", kWorded);
    Dataset data;
    SddReader reader;
    ASSERT_TRUE(reader.read(dir.path() + "/worded.xml", data))
        << reader.errorString().toStdString();
    ASSERT_EQ(data.characters.size(), 4);
    const auto keys = [&data](const QString& id) {
        QStringList out;
        for (const Character& c : data.characters)
            if (c.id == id)
                for (const KeyState& k : c.keyStates)
                    out << k.id + "=" + k.label + "/" + k.texts.value("fr");
        return out;
    };
    // Each range takes the words of the state its mapping names, in every language.
    EXPECT_EQ(keys("leaf"), QStringList({"short=Short/Court", "long=Long/"}));
    // Two ranges naming one state keep their ranges, worded by their bounds later.
    EXPECT_EQ(keys("twice"), QStringList({"=/", "=/", "=/"}));
    // Mappings into a categorical character's states are not this one's ranges.
    EXPECT_EQ(keys("other"), QStringList());

    // The group is worded in the other language too.
    EXPECT_EQ(data.characters[0].group, "Leaves");
    EXPECT_EQ(data.groupTexts.value("Leaves").value("es"), "Hojas");

    // Only a short one-line detail in a stated language is a common name: not one without a
    // language, a sentence, a long text, a caption or a text of several lines.
    using Names = QList<std::pair<QString, QString>>;
    EXPECT_EQ(data.commonNames.value(0), (Names{{"fr", "Violette blanche"}}));
    EXPECT_FALSE(data.commonNames.contains(1));
}
