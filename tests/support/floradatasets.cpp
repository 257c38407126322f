#include "support/floradatasets.h"

#include "support/importdatasets.h"

namespace testing_support {

void writeDeltaWillows(const QString& folder) {
    writeFile(folder + "/specs",
              "*NUMBER OF CHARACTERS 6\n*MAXIMUM NUMBER OF STATES 3\n"
              "*MAXIMUM NUMBER OF ITEMS 5\n"
              "*CHARACTER TYPES 2,RN 3,RN 5,IN 6,TE\n"
              "*NUMBERS OF STATES 1,2 4,3\n");
    writeFile(folder + "/chars",
              "*CHARACTER LIST\n"
              "#1. habit <<Hb1~>>/\n     1. shrub/\n     2. tree <<Tr4>>/\n"
              "#2. leaf blade length/\n     mm/\n"
              "#3. leaf blade width <at the widest part>/\n     mm/\n"
              "#4. catkins <<none>>/\n     1. before the leaves/\n     2. with the leaves/\n"
              "     3. after the leaves/\n"
              "#5. stamens <per flower>/\n"
              "#6. remarks/\n");
    writeFile(folder + "/items",
              "*ITEM DESCRIPTIONS\n"
              "# \\i{}Salix cinerea\\i0{} <<none>> <L.>/\n"
              "1,1 2<usually>,30-80 3,(8-)10-20(-25) 4<<none>>,1 5,2 6<leaves grey beneath>\n"
              "# \\i{}Salix pentandra\\i0{} <<Sp3 x1~>>/\n"
              "1,1/2 2,50-120 3,20-40 4,2<<none>> 5,5\n"
              "# \\i{}Salix repens\\i0{}/\n"
              "1,1 2,10-30 3,5-12 4,1 5,2\n"
              "# \\i{}Salix alba\\i0{} <L.>/\n"
              "1,2 2,60-100 3,10-18 4,2 5,2\n"
              "# \\i{}Salix\\i0{} sp./\n");
    writeFile(folder + "/tonat", "*ITEM SUBHEADINGS #2. \\i{}Leaves\\i0{}./ #5. Flowers./\n");
    writeFile(folder + "/cnotes",
              "*CHARACTER NOTES\n"
              "#2. Measured on the largest leaf of a shoot <<Lf9>>/\n"
              "#4. Seen in early spring.\n");
}

void writeSddSedges(const QString& folder) {
    struct Taxon {
        const char* name;
        const char* height;
        const char* spikes;
        const char* colour;
    };
    const Taxon taxa[] = {
        {"Carex acuta", R"(<Measure type="Min" value="30"/><Measure type="Max" value="120"/>)",
         R"(<Measure type="Min" value="4"/><Measure type="Max" value="7"/>)", "brown"},
        {"Carex nigra", R"(<Measure type="Min" value="7"/><Measure type="Max" value="70"/>)",
         R"(<Measure type="Min" value="2"/><Measure type="Max" value="5"/>)", "black"},
        {"Carex panicea", R"(<Measure type="Mean" value="35"/><Measure type="SD" value="10"/>)",
         R"(<Measure type="Min" value="2"/><Measure type="Max" value="3"/>)", "brown"}};
    QByteArray names, descriptions;
    int n = 0;
    for (const Taxon& t : taxa) {
        const QByteArray id = "t" + QByteArray::number(++n);
        names += "<TaxonName id=\"" + id + "\"><Representation><Label>" + t.name +
                 "</Label></Representation></TaxonName>\n";
        descriptions += "<CodedDescription id=\"d" + id + "\"><Scope><TaxonName ref=\"" + id +
                        "\"/></Scope><SummaryData><Categorical ref=\"glume\"><State ref=\"" +
                        t.colour + "\"/></Categorical><Quantitative ref=\"height\">" + t.height +
                        "</Quantitative><Quantitative ref=\"spikes\">" + t.spikes +
                        "</Quantitative></SummaryData></CodedDescription>\n";
    }
    names +=
        "<TaxonName id=\"t9\"><Representation><Label>Carex sp.</Label></Representation>"
        "</TaxonName>\n";
    writeFile(folder + "/sedges.sdd.xml",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<Datasets xmlns=\"http://rs.tdwg.org/UBIF/2006/\"><Dataset xml:lang=\"en\">\n"
              "<Representation><Label>Sedges of wet meadows</Label></Representation>\n"
              "<TaxonNames>\n" +
                  names +
                  "</TaxonNames>\n<Characters>\n"
                  "<CategoricalCharacter id=\"glume\"><Representation><Label>Glume colour"
                  "</Label></Representation><States>"
                  "<StateDefinition id=\"brown\"><Representation><Label>brown</Label>"
                  "</Representation></StateDefinition>"
                  "<StateDefinition id=\"black\"><Representation><Label>black</Label>"
                  "</Representation></StateDefinition></States></CategoricalCharacter>\n"
                  "<QuantitativeCharacter id=\"height\"><Representation><Label>Stem height"
                  "</Label><Detail>Measured from the ground to the tip of the highest spike."
                  "</Detail></Representation><MeasurementUnit><Label role=\"Abbrev\">cm</Label>"
                  "</MeasurementUnit></QuantitativeCharacter>\n"
                  "<QuantitativeCharacter id=\"spikes\"><Representation><Label>Female spikes"
                  "</Label></Representation></QuantitativeCharacter>\n"
                  "</Characters>\n<CodedDescriptions>\n" +
                  descriptions + "</CodedDescriptions>\n</Dataset></Datasets>\n");
}

}  // namespace testing_support
