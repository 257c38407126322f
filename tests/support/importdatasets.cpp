#include "support/importdatasets.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

namespace testing_support {

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

void writeDeltaGrasses(const QString& folder) {
    writeFile(folder + "/specs",
              "*COMMENT <a small dataset <with nested> comments>\n"
              "*NUMBER OF CHARACTERS 9\n*MAXIMUM NUMBER OF STATES 40\n"
              "*MAXIMUM NUMBER OF ITEMS 5\n"
              "*CHARACTER TYPES 2,RN 5,TE 6,IN 7,OM\n"
              "*NUMBERS OF STATES 1,2 3,3 4,40 7,4 8,2 9,3\n"
              "*IMPLICIT VALUES 8,1\n"
              "*DEPENDENT CHARACTERS 1,2:3\n"
              "*CHARACTER RELIABILITIES 1,10 3,5\n"
              "*CHARACTER HEADINGS #1. Culms/ #7. Leaves/\n");
    QByteArray hosts;
    for (int s = 1; s <= 40; ++s)
        hosts += "     " + QByteArray::number(s) + ". host " + QByteArray::number(s) + "/\n";
    writeFile(folder + "/chars",
              "*CHARACTER LIST\n"
              "#1. culms <whether woody or herbaceous>/\n"
              "     1. woody and persistent/\n"
              "     2. herbaceous <not woody, not persistent>/\n"
              "#2. <mature> culms <maximum height>/\n     cm high/\n"
              "#3. bark colour/\n     1. grey/\n     2. brown/\n     3. \\i{}reddish\\i0{}/\n"
              "#4. host plant/\n" +
                  hosts +
                  "#5. habitat/\n"
                  "#6. number of leaves/\n"
                  "#7. leaf size/\n     1. tiny/\n     2. small/\n     3. medium/\n     4. large/\n"
                  "#8. hairs/\n     1. absent/\n     2. present/\n"
                  "#9. flowering season/\n     1. spring/\n     2. summer/\n     3. autumn/\n");
    writeFile(
        folder + "/items",
        "*ITEM DESCRIPTIONS\n"
        "# \\i{}Bambusa vulgaris\\i0{} <Schrad.>/\n"
        "1,1 2,(200-)500-1500(-2000) 3,1/2 4,1 5<in thickets <near> rivers> 6,3-5 7,3-4 8,2 9,1&2\n"
        "# \\i{}Poa alpina\\i0{} <L.>/\n1,2 2,5-40 3,- 6,2 7,1 9,U\n"
        "# \\i{}Poa alpina\\i0{} <Vill.>/\n1,2 2,10-60 6,2/3 7,1-2 8,1\n"
        "# \\i{}Festuca \xe9l\xe9gans\\i0{} <\x93true\x94>/\n1<usually>,2 2,20 6,V 7,2 9,3\n"
        "# Zea mays/\n1,V 2,100-300 6,8-12 7,4\n");
    writeFile(folder + "/tokey", "*KEY STATES 6,~3/3-6/6~\n");
}

void writeSddViolets(const QString& folder) {
    QImage leaf(60, 40, QImage::Format_RGB32);
    leaf.fill(QColor(0x3d, 0x7a, 0x4a));
    QDir().mkpath(folder + "/images");
    leaf.save(folder + "/images/leaf.png");
    leaf.fill(QColor(0x8a, 0x5a, 0x9e));
    leaf.save(folder + "/images/flower.png");
    writeFile(folder + "/images/broken.png", "not a picture");
    writeFile(folder + "/violets.sdd.xml", R"(<?xml version="1.0" encoding="UTF-8"?>
<Datasets xmlns="http://rs.tdwg.org/UBIF/2006/">
 <Dataset xml:lang="en">
  <Representation><Label>Violets of the test garden</Label></Representation>
  <TaxonNames>
   <TaxonName id="t1"><Representation><Label>&lt;i&gt;Viola hederacea&lt;/i&gt; Labill.</Label></Representation></TaxonName>
   <TaxonName id="t2"><Representation><Label>Viola odorata</Label></Representation></TaxonName>
   <TaxonName id="t3"><Representation><Label>Viola tricolor</Label></Representation></TaxonName>
   <TaxonName id="tf"><Representation><Label>Violaceae</Label></Representation></TaxonName>
   <TaxonName id="tg"><Representation><Label>Viola</Label></Representation></TaxonName>
  </TaxonNames>
  <TaxonHierarchies><TaxonHierarchy id="h1"><Nodes>
   <Node id="h1f"><TaxonName ref="tf"/></Node>
   <Node id="h1g"><Parent ref="h1f"/><TaxonName ref="tg"/></Node>
   <Node id="h1a"><Parent ref="h1g"/><TaxonName ref="t1"/></Node>
   <Node id="h1b"><Parent ref="h1g"/><TaxonName ref="t2"/></Node>
  </Nodes></TaxonHierarchy></TaxonHierarchies>
  <Characters>
   <CategoricalCharacter id="c1">
    <Representation><Label>Leaf complexity</Label></Representation>
    <States>
     <StateDefinition id="s1"><Representation><Label>Simple</Label><MediaObject ref="m1"/></Representation></StateDefinition>
     <StateDefinition id="s2"><Representation><Label>Compound</Label><MediaObject ref="m4"/></Representation></StateDefinition>
    </States>
   </CategoricalCharacter>
   <CategoricalCharacter id="q">
    <Representation><Label>Petal colour</Label></Representation>
    <States>
     <StateDefinition id="qv"><Representation><Label>violet</Label></Representation></StateDefinition>
     <StateDefinition id="qw"><Representation><Label>white</Label></Representation></StateDefinition>
     <StateDefinition id="qy"><Representation><Label>yellow</Label></Representation></StateDefinition>
    </States>
   </CategoricalCharacter>
   <CategoricalCharacter id="Q">
    <Representation><Label>Petal spur</Label></Representation>
    <States>
     <StateDefinition id="Qs"><Representation><Label>short</Label></Representation></StateDefinition>
     <StateDefinition id="Ql"><Representation><Label>long</Label></Representation></StateDefinition>
    </States>
   </CategoricalCharacter>
   <QuantitativeCharacter id="c2">
    <Representation><Label>Leaf length</Label></Representation>
    <MeasurementUnit><Label role="Abbrev">mm</Label></MeasurementUnit>
   </QuantitativeCharacter>
   <TextCharacter id="c3"><Representation><Label>Habitat</Label></Representation></TextCharacter>
   <QuantitativeCharacter id="c4"><Representation><Label>Leaflet count</Label></Representation></QuantitativeCharacter>
   <CategoricalCharacter id="c5">
    <Representation><Label>Leaflet shape</Label></Representation>
    <States>
     <StateDefinition id="s5a"><Representation><Label>ovate</Label></Representation></StateDefinition>
     <StateDefinition id="s5b"><Representation><Label>linear</Label></Representation></StateDefinition>
    </States>
   </CategoricalCharacter>
  </Characters>
  <DescriptiveConcepts>
   <DescriptiveConcept id="dc1"><Representation><Label>Leaves</Label></Representation></DescriptiveConcept>
   <DescriptiveConcept id="dc2"><Representation><Label>Flowers</Label></Representation></DescriptiveConcept>
  </DescriptiveConcepts>
  <CharacterTrees>
   <CharacterTree id="ct1">
    <Nodes>
     <Node id="n2"><DescriptiveConcept ref="dc2"/></Node>
     <CharNode><Parent ref="n2"/><Character ref="q"/></CharNode>
     <CharNode><Parent ref="n2"/>
      <DependencyRules><InapplicableIf><State ref="qw"/></InapplicableIf></DependencyRules>
      <Character ref="Q"/></CharNode>
     <Node id="n1"><DescriptiveConcept ref="dc1"/></Node>
     <CharNode><Parent ref="n1"/><Character ref="c1"/></CharNode>
     <CharNode><Parent ref="n1"/><Character ref="c2"/></CharNode>
     <Node id="n3"><Parent ref="n1"/>
      <DependencyRules><OnlyApplicableIf><State ref="s2"/></OnlyApplicableIf></DependencyRules></Node>
     <CharNode><Parent ref="n3"/><Character ref="c5"/></CharNode>
    </Nodes>
   </CharacterTree>
  </CharacterTrees>
  <CodedDescriptions>
   <CodedDescription id="D1">
    <Representation><Label>ignored</Label><MediaObject ref="m3"/></Representation>
    <Scope><TaxonName ref="t1"/></Scope>
    <SummaryData>
     <Categorical ref="c1"><State ref="s1"/></Categorical>
     <Categorical ref="q"><State ref="qv"/></Categorical>
     <Categorical ref="q"><State ref="qy"/></Categorical>
     <Categorical ref="Q"><State ref="Qs"/></Categorical>
     <Quantitative ref="c2"><Measure type="Min" value="2.3"/><Measure type="Max" value="7.9"/><Measure type="Mean" value="5"/></Quantitative>
     <TextChar ref="c3"><Content>Moist &lt;b&gt;forest&lt;/b&gt;</Content></TextChar>
     <Categorical ref="c5"><Status code="NotApplicable"/></Categorical>
    </SummaryData>
   </CodedDescription>
   <CodedDescription id="D2">
    <Scope><TaxonName ref="t2"/></Scope>
    <SummaryData>
     <Categorical ref="c1"><State ref="s2"/></Categorical>
     <Categorical ref="q"><State ref="qw"/></Categorical>
     <Quantitative ref="c2"><Measure type="Mean" value="30"/></Quantitative>
     <Categorical ref="c5"><State ref="s5a"><Modifier ref="mod1"/></State></Categorical>
    </SummaryData>
   </CodedDescription>
   <CodedDescription id="D3">
    <Scope><TaxonName ref="t3"/></Scope>
    <SummaryData>
     <Categorical ref="c1"><Status code="DataUnavailable"/></Categorical>
     <Categorical ref="q"><State ref="qv"/><State ref="qy"/></Categorical>
     <Quantitative ref="c2"><Measure type="UMethLower" value="10"/><Measure type="UMethUpper" value="20"/></Quantitative>
    </SummaryData>
   </CodedDescription>
   <CodedDescription id="D4">
    <Representation><Label>Viola odorata</Label></Representation>
    <SummaryData><Categorical ref="q"><State ref="qw"/><State ref="s1"/></Categorical></SummaryData>
   </CodedDescription>
  </CodedDescriptions>
  <MediaObjects>
   <MediaObject id="m1"><Representation><Label>leaf</Label></Representation><Type>Image</Type><Source href="images/leaf.png"/></MediaObject>
   <MediaObject id="m2"><Type>Image</Type><Source href="../outside.png"/></MediaObject>
   <MediaObject id="m3"><Type>Image</Type><Source href="images/flower.png"/></MediaObject>
   <MediaObject id="m4"><Type>Image</Type><Source href="images/broken.png"/></MediaObject>
  </MediaObjects>
 </Dataset>
 <Dataset xml:lang="en">
  <Representation><Label>Second dataset</Label></Representation>
 </Dataset>
</Datasets>
)");
}

namespace {

QByteArray crlf(QByteArray text) {
    return text.replace("\n", "\r\n");
}

}  // namespace

void writeDeltaOdd(const QString& folder) {
    writeFile(folder + "/Specs",
              crlf("*show ~ Odd spacing <and <nested <deeply>> comments>>\n"
                   "*number   of\tcharacters  8\n"
                   "*CHARACTER TYPES 4,RN 6,IN 8,TE\n"
                   "*KEYWORD CHARACTERS #\\b{}habit\\b0{}/ 1 2 6 #flowers/ 3-5 #all/ 1-8\n"
                   "*DEPENDENT CHARACTERS 1,2:7\n"));
    QByteArray many, hosts;
    for (int s = 1; s <= 1500; ++s)
        many += " " + QByteArray::number(s) + ". insect " + QByteArray::number(s) + "/";
    for (int s = 1; s <= 300; ++s)
        hosts += "\t" + QByteArray::number(s) + ".\thost\xa0" + QByteArray::number(s) + "/\n";
    writeFile(
        folder + "/chars",
        crlf("*character list\n"
             "#1.  \\b{}habit\\b0{} <of the <mature> plant>/\n"
             "\t1. tree <\x93true\x94 trunk>/\n\t2.\therb/\n"
             "#2. leaf \\i{}margin\\i0{}/ 1. entire/ 2. toothed <sometimes <finely>>/ 3. lobed/\n"
             "#3. petal colour/\n  1. white/\n  2. cream/\n  3. yellow/\n  4. orange/\n  5. red/\n"
             "#4. minimum temperature/\n  \xb0"
             "C/\n"
             "#5. pollinator/\n") +
            many +
            crlf("\n"
                 "#6. stamens <number>/\n"
                 "#7. bark texture/ 1. smooth/ 2. rough/\n"
                 "#8. notes/\n"
                 "#9. host plants/\n") +
            crlf(hosts));
    QByteArray items =
        "*item descriptions\n"
        "# \\b{}Rosaceae\\b0{}/ 1,V\n";
    const char* names[] = {
        "Rosa \\i{}canina\\i0{}", "Rosa\\~arvensis",      "Prunus \\i{}avium\\i0{}",
        "Prunus spinosa",         "Malus sylvestris",     "Pyrus communis",
        "Sorbus aucuparia",       "Crataegus monogyna",   "Rubus idaeus",
        "Fragaria vesca",         "Potentilla \\'e9recta"};
    const char* codings[] = {
        "1,2 2,2 3,1/5 4,-5--2 5,1/1500 6,(10-)20-30(-60) 8<on \x93"
        "chalk\x94> 9,1-3",
        "1,2 2,2<rarely>/3 3,1 4,(-20-)-15--10 6,15-20",
        "1,1 2,1 3,1&2 4,-25 5,700 6,20-30 7,1 9,300",
        "1,1 2,2 3,1 4,1-3 6,20 7,2",
        "1,1 2,3 3,1/2 4,-30--20 6,15-25 7,1-2",
        "1,1 2,1 3,1 4,6 6,20-30 7,U",
        "1,1 2,1-3 3,1 4,-40 6,V 7,1",
        "1,1 2,3 3,1 4,-35 6,15-20 7,2 <a comment <alone>>",
        "1,2 2,2 3,1 4,-20 6,100-150",
        "1,2 2,2 3,1 4,-25 6,20 5,U",
        "1,2  2,1\t3,3 4,-30 6,12-20"};
    for (int i = 0; i < 11; ++i)
        items += "# " + QByteArray(names[i]) + " <Auth.  " + QByteArray::number(i) + ">/\n\t" +
                 codings[i] + "\n";
    writeFile(folder + "/items", crlf(items));
    writeFile(folder + "/tokey", crlf("*KEY STATES 2,1-2/3 3,1-2/3/4-5\n 4,~-30/-20--10/0~\n"));
}

void writeSddOdd(const QString& folder) {
    QByteArray states;
    for (int s = 1; s <= 500; ++s)
        states += "<sdd:StateDefinition id=\"h" + QByteArray::number(s) +
                  "\"><sdd:Representation><sdd:Label>host " + QByteArray::number(s) +
                  "</sdd:Label></sdd:Representation></sdd:StateDefinition>\n";
    QByteArray descriptions;
    const char* names[] = {"Carex \xe9lata",
                           "Carex &lt;i&gt;nigra&lt;/i&gt;",
                           "<![CDATA[Carex <i>flava</i>]]>",
                           "Carex panicea",
                           "Carex panicea",
                           "Juncus effusus"};
    const char* data[] = {
        "<sdd:Categorical ref=\"C1\"><sdd:State ref=\"C1a\"/></sdd:Categorical>"
        "<sdd:Categorical ref=\"c1\"><sdd:State ref=\"c1b\"/></sdd:Categorical>"
        "<sdd:Quantitative ref=\"L\"><sdd:Measure type=\"ObsMin\" value=\"10\"/><sdd:Measure "
        "type=\"ObsMax\" value=\"40\"/></sdd:Quantitative>"
        "<sdd:Categorical ref=\"H\"><sdd:State ref=\"h7\"/></sdd:Categorical>",
        "<sdd:Categorical ref=\"C1\"><sdd:State ref=\"C1b\"/><sdd:State "
        "ref=\"C1a\"/></sdd:Categorical>"
        "<sdd:Categorical ref=\"c1\"><sdd:Status code=\"ToBeChecked\"/></sdd:Categorical>"
        "<sdd:Quantitative ref=\"L\"><sdd:Measure type=\"Min\" value=\"60\"/><sdd:Measure "
        "type=\"Max\" value=\"90\"/></sdd:Quantitative>",
        "<sdd:Categorical ref=\"C1\"><sdd:State ref=\"C1c\"/></sdd:Categorical>"
        "<sdd:Categorical ref=\"c1\"><sdd:Status code=\"NotApplicable\"/></sdd:Categorical>"
        "<sdd:Quantitative ref=\"L\"><sdd:Measure type=\"Mean\" value=\"25\"/></sdd:Quantitative>",
        "<sdd:Categorical ref=\"C1\"><sdd:State ref=\"C1a\"/></sdd:Categorical>"
        "<sdd:Categorical ref=\"c1\"><sdd:State ref=\"c1a\"/></sdd:Categorical>"
        "<sdd:Categorical ref=\"c1\"><sdd:State ref=\"c1b\"/></sdd:Categorical>",
        "<sdd:Categorical ref=\"C1\"><sdd:State ref=\"C1c\"/></sdd:Categorical>"
        "<sdd:Quantitative ref=\"L\"><sdd:Measure type=\"UMethLower\" value=\"5\"/><sdd:Measure "
        "type=\"UMethUpper\" value=\"12\"/></sdd:Quantitative>",
        "<sdd:TextChar ref=\"T\"><sdd:Content>wet &amp; acid</sdd:Content></sdd:TextChar>"};
    for (int i = 0; i < 6; ++i)
        descriptions += "<sdd:CodedDescription id=\"d" + QByteArray::number(i) +
                        "\"><sdd:Representation><sdd:Label>" + names[i] +
                        "</sdd:Label></sdd:Representation><sdd:SummaryData>" + data[i] +
                        "</sdd:SummaryData></sdd:CodedDescription>\n";
    writeFile(
        folder + "/odd.sdd.xml",
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
        "<sdd:Datasets xmlns:sdd=\"http://rs.tdwg.org/UBIF/2006/\">\n"
        "<sdd:Dataset xml:lang=\"en\">\n"
        "<sdd:Representation><sdd:Label>Sedges \xe0 l'essai</sdd:Label></sdd:Representation>\n"
        "<sdd:Characters>\n"
        "<sdd:CategoricalCharacter id=\"C1\"><sdd:Representation><sdd:Label>Utricle "
        "&lt;b&gt;beak&lt;/b&gt;</sdd:Label></sdd:Representation>"
        "<sdd:States><sdd:StateDefinition "
        "id=\"C1a\"><sdd:Representation><sdd:Label>absent</sdd:Label></sdd:Representation></"
        "sdd:StateDefinition>"
        "<sdd:StateDefinition "
        "id=\"C1b\"><sdd:Representation><sdd:Label>short</sdd:Label></sdd:Representation></"
        "sdd:StateDefinition>"
        "<sdd:StateDefinition "
        "id=\"C1c\"><sdd:Representation><sdd:Label/></sdd:Representation></sdd:StateDefinition>"
        "</sdd:States></sdd:CategoricalCharacter>\n"
        "<sdd:CategoricalCharacter "
        "id=\"c1\"><sdd:Representation><sdd:Label>Stigmas</sdd:Label></sdd:Representation>"
        "<sdd:States><sdd:StateDefinition "
        "id=\"c1a\"><sdd:Representation><sdd:Label>2</sdd:Label></sdd:Representation></"
        "sdd:StateDefinition>"
        "<sdd:StateDefinition "
        "id=\"c1b\"><sdd:Representation><sdd:Label>3</sdd:Label></sdd:Representation></"
        "sdd:StateDefinition>"
        "</sdd:States></sdd:CategoricalCharacter>\n"
        "<sdd:QuantitativeCharacter id=\"L\"><sdd:Representation><sdd:Label>Stem "
        "height</sdd:Label></sdd:Representation>"
        "<sdd:MeasurementUnit><sdd:Label "
        "role=\"Abbrev\">cm</sdd:Label></sdd:MeasurementUnit></sdd:QuantitativeCharacter>\n"
        "<sdd:CategoricalCharacter "
        "id=\"H\"><sdd:Representation><sdd:Label>Host</sdd:Label></"
        "sdd:Representation><sdd:States>\n" +
            states +
            "</sdd:States></sdd:CategoricalCharacter>\n"
            "<sdd:TextCharacter "
            "id=\"T\"><sdd:Representation><sdd:Label>Habitat</sdd:Label></sdd:Representation></"
            "sdd:TextCharacter>\n"
            "</sdd:Characters>\n"
            "<sdd:CharacterTrees><sdd:CharacterTree id=\"t\"><sdd:Nodes>"
            "<sdd:CharNode><sdd:Character ref=\"c1\"/></sdd:CharNode>"
            "<sdd:CharNode><sdd:Character ref=\"C1\"/></sdd:CharNode>"
            "</sdd:Nodes></sdd:CharacterTree></sdd:CharacterTrees>\n"
            "<sdd:CodedDescriptions>\n" +
            descriptions + "</sdd:CodedDescriptions>\n</sdd:Dataset>\n</sdd:Datasets>\n");
}

}  // namespace testing_support

namespace testing_support {

void writeDeltaMountain(const QString& folder) {
    writeFile(folder + "/specs",
              "*NUMBER OF CHARACTERS 10\n*MAXIMUM NUMBER OF STATES 3\n"
              "*MAXIMUM NUMBER OF ITEMS 8\n"
              "*CHARACTER TYPES 4,IN 5,RN 6,RN 7,IN 10,TE\n"
              "*NUMBERS OF STATES 1,3 2,2 3,3 8,3 9,2\n");
    writeFile(folder + "/chars",
              "*CHARACTER LIST\n"
              "#1. <<Af7 se5~>> plants <(sexuality)>/\n"
              "     1. hermaphrodite/\n     2. monoecious <<Af9 sa3>>/\n     3. dioecious/\n"
              "#2. families attacked <how many, more than 9 (>9) counting>/\n"
              "     1. few (<3) families susceptible/\n     2. many (>9) families/\n"
              "#3. leaf shape <where x<y is narrower>/\n"
              "     1. ovate/\n     2. <linear>/\n     3. length x<y width/\n"
              "#4. petals <number>/\n"
              "#5. leaf length/\n     mm/\n"
              "#6. fruit diameter/\n     cm/\n"
              "#7. chromosome number <2n>/\n"
              "#8. flower colour/\n     1. white/\n     2. yellow/\n     3. red <<Rd2>>/\n"
              "#9. hairs <<Hr1~>>/\n     1. absent/\n     2. present/\n"
              "#10. remarks/\n");
    writeFile(folder + "/items",
              "*ITEM DESCRIPTIONS\n"
              "# \\i{}Silene uralensis\\i0{} subsp. \\i{}uralensis\\i0{} <(Rupr.) Bocquet>/\n"
              "1,1 2,1 3,1 4,5 5,0.6 6,2 7,24 8,1 9,1 10<petals (<3 mm) pale>\n"
              "# \\i{}Silene acaulis\\i0{} <L.>/\n"
              "1,2/3 2,2 3,2 4,5-10 5,(0.8-)1-1.5(-3) 6,5 7,30&35&43&56 8,2 9,2\n"
              "# \\i{}Carex flava\\i0{} <a sedge with many (>9) spikes>/\n"
              "1,2 2,1/2 3,3 4,4 5,1.2-2.5 6,1.5 7,60 8,3 9,1<<Hx2~>>\n"
              "# \\i{}Dianthus deltoides\\i0{}/\n"
              "1<usually>,1 2,1 3,1&3 4,10 5,2.5 6,3-8 7,30 8,1/2 9,2\n"
              "# \\i{}Gentiana verna\\i0{}/\n"
              "1,3 2,2 3,2 4,3-5 5,3.1-4 6,(1-)2.5-4(-6) 7,28/42 8,2 9,1\n"
              "# \\i{}Primula farinosa\\i0{}/\n"
              "1,1 2,U 3,1 4,6 5,5&7.5 6,V 7,18 8,2<rarely 3> 9,1\n"
              "# \\i{}Saxifraga oppositifolia\\i0{}/\n"
              "1,1 2,2 3,2/3 4,8-12 5,4.5 6,2-5 7,26 8,3 9,2\n"
              "# \\i{}Viola biflora\\i0{}/\n"
              "1,2 2,1 3,1 4,(15-)20 5,10-12 6,- 7,12-14 8,1&2 9,1\n");
    writeFile(folder + "/tokey", "*KEY STATES 6,~2/2-5/5~ 7,~20/23-30/40~\n");
    writeFile(folder + "/cheads",
              "*CHARACTER HEADINGS #1. \\b{}Habit\\b0{}/ #3. Leaves/ #4. Flowers and fruits/\n");
    writeFile(folder + "/tonat", "*ITEM SUBHEADINGS #5. \\i{}Measures\\i0{}./ #9. Surface./\n");
    writeFile(folder + "/cnotes",
              "*CHARACTER NOTES\n"
              "#4. Count the petals of open flowers; sepals <not petals> are left out.\n"
              "#6. Measured when ripe <<Fr2>>, across the widest part/\n");
    QImage colours(180, 60, QImage::Format_RGB32);
    colours.fill(Qt::white);
    for (int x = 60; x < 120; ++x)
        for (int y = 20; y < 60; ++y) colours.setPixel(x, y, qRgb(0xe8, 0xc8, 0x20));
    colours.save(folder + "/colours.png");
    writeFile(folder + "/cimages",
              "*CHARACTER IMAGES\n"
              "#8. colours.png <@subject flower colour> <@feature x=10 y=0 w=160 h=-1>\n"
              "  <@state 1 x=0 y=20 w=60 h=40> <@state 2 x=60 y=20 w=60 h=40>\n"
              "  <@state 3 x=120 y=5 w=60 h=-1>\n");
}

void writeSddMeasures(const QString& folder) {
    struct Taxon {
        const char* name;
        const char* length;  // measures of character "len"
        const char* width;   // measures of character "wid"
        const char* state;
    };
    const Taxon taxa[] = {
        {"Rumex alpinus",
         R"(<Measure type="UMethLower" value="10"/><Measure type="UMethUpper" value="12"/><Measure type="Min" value="8"/>)",
         R"(<Measure type="Min" value="2"/><Measure type="Max" value="4"/>)", "sg"},
        {"Rumex acetosa",
         R"(<Measure type="Mean" value="5"/><Measure type="SD" value="1.5"/><Measure type="Max" value="9"/>)",
         R"(<Measure type="Mean" value="0.3"/><Measure type="SD" value="0.1"/>)", "sr"},
        {"Rumex scutatus", R"(<Measure type="Min" value="2"/><Measure type="Max" value="4"/>)",
         R"(<Measure type="UMethLower" value="4"/><Measure type="UMethUpper" value="6"/><Measure type="Max" value="10"/>)",
         "sg"},
        {"Oxyria digyna", R"(<Measure type="Mean" value="0.6"/>)",
         R"(<Measure type="ObsMin" value="1"/><Measure type="ObsMax" value="3"/>)", "sr"},
        {"Rumex crispus",
         R"(<Measure type="ObsMin" value="6"/><Measure type="ObsMax" value="15"/><Measure type="UMethLower" value="8"/><Measure type="UMethUpper" value="10"/>)",
         R"(<Measure type="Min" value="6"/>)", "sg"},
        {"Rumex obtusifolius",
         R"(<Measure type="UMethLower" value="12"/><Measure type="UMethUpper" value="20"/><Measure type="Max" value="30"/>)",
         R"(<Measure type="Mean" value="8"/><Measure type="SD" value="2"/><Measure type="Min" value="7"/>)",
         "sr"}};
    QByteArray names, descriptions;
    int n = 0;
    for (const Taxon& t : taxa) {
        const QByteArray id = "t" + QByteArray::number(++n);
        names += "<TaxonName id=\"" + id + "\"><Representation><Label>" + t.name +
                 "</Label></Representation></TaxonName>\n";
        descriptions += "<CodedDescription id=\"d" + id + "\"><Scope><TaxonName ref=\"" + id +
                        "\"/></Scope><SummaryData>"
                        "<Categorical ref=\"col\"><State ref=\"" +
                        t.state +
                        "\"/></Categorical>"
                        "<Quantitative ref=\"len\">" +
                        t.length +
                        "</Quantitative>"
                        "<Quantitative ref=\"wid\">" +
                        t.width +
                        "</Quantitative>"
                        "</SummaryData></CodedDescription>\n";
    }
    writeFile(folder + "/measures.sdd.xml",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<Datasets xmlns=\"http://rs.tdwg.org/UBIF/2006/\"><Dataset xml:lang=\"en\">\n"
              "<Representation><Label>Docks and sorrels</Label></Representation>\n"
              "<TaxonNames>\n" +
                  names +
                  "</TaxonNames>\n"
                  "<Characters>\n"
                  "<CategoricalCharacter id=\"col\"><Representation><Label>Fruit colour</Label>"
                  "</Representation><States>"
                  "<StateDefinition id=\"sg\"><Representation><Label>green</Label></Representation>"
                  "</StateDefinition>"
                  "<StateDefinition id=\"sr\"><Representation><Label>red</Label></Representation>"
                  "</StateDefinition></States></CategoricalCharacter>\n"
                  "<QuantitativeCharacter id=\"len\"><Representation><Label>Leaf length</Label>"
                  "</Representation><MeasurementUnit><Label role=\"Abbrev\">cm</Label>"
                  "</MeasurementUnit></QuantitativeCharacter>\n"
                  "<QuantitativeCharacter id=\"wid\"><Representation><Label>Fruit width</Label>"
                  "</Representation><MeasurementUnit><Label role=\"Abbrev\">mm</Label>"
                  "</MeasurementUnit></QuantitativeCharacter>\n"
                  "</Characters>\n<CodedDescriptions>\n" +
                  descriptions + "</CodedDescriptions>\n</Dataset></Datasets>\n");
}

}  // namespace testing_support
