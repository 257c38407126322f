#include "support/sdddatasets.h"

#include "support/importdatasets.h"

namespace testing_support {

namespace {

QByteArray label(const QByteArray& text) {
    return "<Representation><Label>" + text + "</Label></Representation>";
}

// A categorical character of `count` states "PREFIX 1" .. "PREFIX count", ids ID_1 ...
QByteArray manyStates(const QByteArray& id, const QByteArray& name, const QByteArray& prefix,
                      int count) {
    QByteArray out = "<CategoricalCharacter id=\"" + id + "\">" + label(name) + "<States>";
    for (int s = 1; s <= count; ++s)
        out += "<StateDefinition id=\"" + id + "_" + QByteArray::number(s) + "\">" +
               label(prefix + " " + QByteArray::number(s)) + "</StateDefinition>";
    return out + "</States></CategoricalCharacter>\n";
}

QByteArray twoStates(const QByteArray& id, const QByteArray& representation, const char* a,
                     const char* b) {
    return "<CategoricalCharacter id=\"" + id + "\">" + representation + "<States>" +
           "<StateDefinition id=\"" + id + "a\">" + label(a) + "</StateDefinition>" +
           "<StateDefinition id=\"" + id + "b\">" + label(b) + "</StateDefinition>" +
           "</States></CategoricalCharacter>\n";
}

QByteArray quantitative(const QByteArray& id, const QByteArray& name, const char* unit) {
    return "<QuantitativeCharacter id=\"" + id + "\">" + label(name) +
           "<MeasurementUnit><Label role=\"Abbrev\">" + unit +
           "</Label></MeasurementUnit></QuantitativeCharacter>\n";
}

QByteArray state(const char* character, const QByteArray& s) {
    return QByteArray("<Categorical ref=\"") + character + "\"><State ref=\"" + s +
           "\"/></Categorical>";
}

QByteArray measure(const char* character, int low, int high) {
    return QByteArray("<Quantitative ref=\"") + character + "\"><Measure type=\"Min\" value=\"" +
           QByteArray::number(low) + "\"/><Measure type=\"Max\" value=\"" +
           QByteArray::number(high) + "\"/></Quantitative>";
}

}  // namespace

void writeSddFlora(const QString& folder) {
    QByteArray characters =
        quantitative("len", "Achenes &lt;length&gt;", "mm") +
        quantitative("wid", "Achenes &lt;width&gt;", "mm") +
        "<CategoricalCharacter id=\"hair\"><Representation>"
        "<Label xml:lang=\"nl\">Haren</Label><Label xml:lang=\"en\">Hairs</Label>"
        "<MediaObject ref=\"w2\"/></Representation><States>"
        "<StateDefinition id=\"hair1\"><Representation><Label xml:lang=\"nl\">afwezig</Label>"
        "<Label xml:lang=\"en\">absent</Label></Representation></StateDefinition>"
        "<StateDefinition id=\"hair2\"><Representation><Label xml:lang=\"nl\">aanwezig</Label>"
        "<Label xml:lang=\"en\">present</Label><MediaObject ref=\"w3\"/></Representation>"
        "</StateDefinition></States></CategoricalCharacter>\n" +
        twoStates("hair_s", label("Hairs"), "sparse", "dense") +
        twoStates("shape1",
                  "<Representation><Label>Shape</Label><Detail>Shape of the outer "
                  "bracts</Detail></Representation>",
                  "ovate", "linear") +
        twoStates("shape2",
                  "<Representation><Label>Shape</Label><Detail>Shape of the inner "
                  "bracts</Detail></Representation>",
                  "ovate", "linear") +
        twoStates("colA", label("Colour"), "yellow", "white") +
        twoStates("colB", label("Colour"), "yellow", "white") +
        quantitative("lh", "Leaf length", "cm") + quantitative("lh2", "Leaf length", "mm") +
        manyStates("fam", "Tribe &lt;as in the flora&gt;", "Tribe number", 40) +
        manyStates("host", "Host &lt;of the gall&gt;", "Host plant", 200) +
        "<TextCharacter id=\"note\">" + label("Notes") + "</TextCharacter>\n";
    const char* names[] = {"&lt;i&gt;Crepis foetida&lt;/i&gt; L.",
                           "&lt;i&gt;Crepis&lt;/i&gt; &lt;sp. nov.&gt;",
                           "Hieracium pilosella",
                           "Hieracium murorum",
                           "Lactuca serriola",
                           "Lactuca saligna",
                           "Sonchus asper",
                           "Hieracium nudum"};
    QByteArray taxa, descriptions;
    for (int t = 0; t < 8; ++t) {
        const QByteArray id = "t" + QByteArray::number(t + 1);
        taxa += "<TaxonName id=\"" + id + "\"><Representation><Label>" + names[t] + "</Label>" +
                (t == 0 ? "<MediaObject ref=\"w1\"/><MediaObject ref=\"f1\"/>" : "") +
                "</Representation></TaxonName>\n";
        QByteArray data;
        if (t < 7) {
            const QByteArray ab = t % 2 ? "b" : "a";
            data = state("hair", "hair" + QByteArray::number(t % 2 + 1)) +
                   state("hair_s", "hair_s" + ab) + state("shape1", "shape1" + ab) +
                   state("shape2", "shape2" + QByteArray(t % 3 ? "a" : "b")) +
                   state("colA", "colA" + ab) + state("colB", "colB" + ab) +
                   state("fam", "fam_" + QByteArray::number(t * 5 + 1)) +
                   state("host", "host_" + QByteArray::number(t * 28 + 1)) +
                   state("host", "host_" + QByteArray::number(t * 28 + 2)) +
                   measure("len", 2 + t, 4 + t) + measure("wid", 1, 2 + t) +
                   measure("lh", 3 + t, 6 + t) + measure("lh2", 30 + 10 * t, 60 + 10 * t);
            if (t == 6) data += state("fam", "fam_40") + state("host", "host_200");
        }
        data += "<TextChar ref=\"note\"><Content>seen &lt;rarely&gt; on chalk</Content></TextChar>";
        descriptions += "<CodedDescription id=\"D" + QByteArray::number(t + 1) +
                        "\"><Scope><TaxonName ref=\"" + id + "\"/></Scope><SummaryData>" + data +
                        "</SummaryData></CodedDescription>\n";
    }
    writeFile(
        folder + "/flora.sdd.xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<Datasets xmlns=\"http://rs.tdwg.org/UBIF/2006/\">\n"
        "<Dataset xml:lang=\"en\">\n"
        "<Representation><Label xml:lang=\"nl\">Composieten van de droge heuvels</Label>"
        "<Label role=\"Abbrev\">Test</Label><Label>Composites of the dry hills</Label>"
        "</Representation>\n"
        "<TaxonNames>\n" +
            taxa + "</TaxonNames>\n<Characters>\n" + characters +
            "</Characters>\n"
            "<DescriptiveConcepts>"
            "<DescriptiveConcept id=\"dcF\">" +
            label("Fruit") +
            "</DescriptiveConcept>"
            "<DescriptiveConcept id=\"dcL\">" +
            label("Leaves") +
            "</DescriptiveConcept>"
            "<DescriptiveConcept id=\"dcS\">" +
            label("Stems") +
            "</DescriptiveConcept>"
            "</DescriptiveConcepts>\n"
            "<CharacterTrees>\n"
            "<CharacterTree id=\"order\"><Nodes>"
            "<CharNode><Character ref=\"fam\"/></CharNode>"
            "<CharNode><Character ref=\"len\"/></CharNode>"
            "<CharNode><Character ref=\"wid\"/></CharNode>"
            "<CharNode><Character ref=\"hair\"/></CharNode>"
            "<CharNode><Character ref=\"hair_s\"/></CharNode>"
            "</Nodes></CharacterTree>\n"
            "<CharacterTree id=\"groups\"><Nodes>"
            "<Node id=\"nF\"><DescriptiveConcept ref=\"dcF\"/></Node>"
            "<Node id=\"nL\"><DescriptiveConcept ref=\"dcL\"/></Node>"
            "<Node id=\"nS\"><DescriptiveConcept ref=\"dcS\"/></Node>"
            "<CharNode><Parent ref=\"nF\"/><Character ref=\"len\"/></CharNode>"
            "<CharNode><Parent ref=\"nF\"/><Character ref=\"wid\"/></CharNode>"
            "<CharNode><Parent ref=\"nL\"/><Character ref=\"hair\"/></CharNode>"
            "<CharNode><Parent ref=\"nS\"/><Character ref=\"hair_s\"/></CharNode>"
            "<CharNode><Parent ref=\"nL\"/><Character ref=\"lh\"/></CharNode>"
            "<CharNode><Parent ref=\"nL\"/><Character ref=\"lh2\"/></CharNode>"
            "<CharNode><Parent ref=\"nL\"/>"
            "<DependencyRules><InapplicableIf><State ref=\"hair1\"/></InapplicableIf>"
            "</DependencyRules><Character ref=\"hair_s\"/></CharNode>"
            "</Nodes></CharacterTree>\n"
            "</CharacterTrees>\n<CodedDescriptions>\n" +
            descriptions +
            "</CodedDescriptions>\n<MediaObjects>\n"
            "<MediaObject id=\"w1\">" +
            label("Habit") +
            "<Type>Image</Type><Source href=\"https://example.org/crepis.jpg?a=1&amp;b=2\"/>"
            "</MediaObject>\n"
            "<MediaObject id=\"w2\">" +
            label("Hairs, drawn") +
            "<Type>Image</Type><Source href=\"http://example.org/hairs.png\"/></MediaObject>\n"
            "<MediaObject id=\"w3\"><Type>Image</Type>"
            "<Source href=\"https://example.org/present.png\"/></MediaObject>\n"
            "<MediaObject id=\"f1\"><Type>Image</Type>"
            "<Source href=\"ftp://example.org/old.png\"/></MediaObject>\n"
            "</MediaObjects>\n</Dataset>\n</Datasets>\n");
}

void writeSddMany(const QString& folder, int characters) {
    QByteArray chars, descriptions;
    for (int c = 1; c <= characters; ++c)
        chars += twoStates("c" + QByteArray::number(c), label("Feature " + QByteArray::number(c)),
                           "first", "second");
    for (int t = 0; t < 6; ++t) {
        QByteArray data;
        for (int c = 1; c <= characters; ++c) {
            const QByteArray id = "c" + QByteArray::number(c);
            data += "<Categorical ref=\"" + id + "\">";
            if (t == 0 || (c + t) % 2 == 0) data += "<State ref=\"" + id + "a\"/>";
            if (t == 0 || (c + t) % 2 == 1) data += "<State ref=\"" + id + "b\"/>";
            data += "</Categorical>";
        }
        descriptions += "<CodedDescription id=\"d" + QByteArray::number(t) +
                        "\"><Representation><Label>Species " + QByteArray::number(t + 1) +
                        "</Label></Representation><SummaryData>" + data +
                        "</SummaryData></CodedDescription>\n";
    }
    writeFile(folder + "/many.sdd.xml",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<Datasets xmlns=\"http://rs.tdwg.org/UBIF/2006/\"><Dataset xml:lang=\"en\">" +
                  label("Many characters") + "<Characters>\n" + chars +
                  "</Characters><CodedDescriptions>\n" + descriptions +
                  "</CodedDescriptions></Dataset></Datasets>\n");
}

}  // namespace testing_support
