#include "authoring/import/datasetfiles.h"
#include "authoring/import/deltareader.h"
#include "authoring/import/sddreader.h"
#include "support/importdatasets.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

#include <zlib.h>

using namespace authoring;
using testing_support::writeFile;

namespace {

QByteArray sdd(const QByteArray& doctype, const QByteArray& label, int descriptions = 1) {
    QByteArray coded;
    for (int d = 0; d < descriptions; ++d)
        coded += "<CodedDescription id=\"d" + QByteArray::number(d) +
                 "\"><Representation><Label>Taxon " + QByteArray::number(d) +
                 "</Label></Representation></CodedDescription>\n";
    return "<?xml version=\"1.0\"?>\n" + doctype +
           "<Datasets xmlns=\"http://rs.tdwg.org/UBIF/2006/\"><Dataset>"
           "<Representation><Label>" +
           label +
           "</Label></Representation><Characters><CategoricalCharacter id=\"c1\">"
           "<Representation><Label>colour</Label></Representation><States>"
           "<StateDefinition id=\"s1\"><Representation><Label>red</Label></Representation>"
           "</StateDefinition></States></CategoricalCharacter></Characters>"
           "<CodedDescriptions>" +
           coded + "</CodedDescriptions></Dataset></Datasets>\n";
}

struct SddRead {
    bool ok = false;
    QString error;
    Dataset data;
};

SddRead readSdd(const QString& file, const QByteArray& xml) {
    writeFile(file, xml);
    SddRead r;
    SddReader reader;
    r.ok = reader.read(file, r.data);
    r.error = reader.errorString();
    return r;
}

// A DELTA folder of `items` items on two characters; its items file is `itemsFile` when
// given (the caller links it elsewhere).
void writeDelta(const QString& folder, int items, int states = 2) {
    QByteArray chars = "*CHARACTER LIST\n#1. host/\n";
    for (int s = 1; s <= states; ++s)
        chars += "  " + QByteArray::number(s) + ". host " + QByteArray::number(s) + "/\n";
    chars += "#2. colour/\n  1. red/\n  2. blue/\n";
    writeFile(folder + "/specs",
              "*NUMBER OF CHARACTERS 2\n*NUMBERS OF STATES 1," + QByteArray::number(states) + "\n");
    writeFile(folder + "/chars", chars);
    QByteArray body = "*ITEM DESCRIPTIONS\n";
    body.reserve(items * 24);
    for (int i = 0; i < items; ++i)
        body +=
            "# Taxon " + QByteArray::number(i) + "/ 1,1 2," + QByteArray::number(1 + i % 2) + "\n";
    writeFile(folder + "/items", body);
}

}  // namespace

// The base counts species in 16 bits: one taxon more is refused while the dataset is read,
// naming the limit.
TEST(DatasetBounds, MoreTaxaThanABaseCountsAreRefused) {
    QTemporaryDir dir;
    writeDelta(dir.path() + "/full", kMaxTaxa);
    Dataset data;
    DeltaReader delta;
    ASSERT_TRUE(delta.read(dir.path() + "/full", data)) << delta.errorString().toStdString();
    EXPECT_EQ(data.items.size(), kMaxTaxa);

    writeDelta(dir.path() + "/over", kMaxTaxa + 1);
    DeltaReader over;
    EXPECT_FALSE(over.read(dir.path() + "/over", data));
    EXPECT_TRUE(over.errorString().contains("items:32769: more than 32767 taxa"))
        << over.errorString().toStdString();

    const SddRead overSdd = readSdd(dir.path() + "/over.sdd.xml", sdd({}, "T", kMaxTaxa + 1));
    EXPECT_FALSE(overSdd.ok);
    EXPECT_TRUE(overSdd.error.contains("more than 32767 taxa")) << overSdd.error.toStdString();
    EXPECT_TRUE(readSdd(dir.path() + "/full.sdd.xml", sdd({}, "T", kMaxTaxa)).ok);
}

// The usual file names of a DELTA folder obey the rule of every name a dataset gives: a
// link leading out of the folder is refused, a link inside it is followed.
TEST(DatasetBounds, DeltaFilesLinkedOutOfTheFolderAreRefused) {
    QTemporaryDir dir;
    const QString folder = dir.path() + "/dataset";
    writeDelta(folder, 3);
    writeDelta(dir.path() + "/elsewhere", 5);
    for (const char* name : {"items", "chars", "specs"}) {
        const QString file = folder + "/" + name;
        const QString kept = folder + "/kept-" + name;
        ASSERT_TRUE(QFile::rename(file, kept));
        ASSERT_TRUE(QFile::link(dir.path() + "/elsewhere/" + name, file));
        Dataset data;
        DeltaReader refused;
        EXPECT_FALSE(refused.read(folder, data)) << name;
        EXPECT_TRUE(refused.errorString().contains(QString(name) + ": leads out of the dataset"))
            << refused.errorString().toStdString();
        // A link to a file of the folder itself is an ordinary name.
        ASSERT_TRUE(QFile::remove(file));
        ASSERT_TRUE(QFile::link(kept, file));
        DeltaReader reader;
        ASSERT_TRUE(reader.read(folder, data)) << reader.errorString().toStdString();
        EXPECT_EQ(data.items.size(), 3);
        ASSERT_TRUE(QFile::remove(file));
        ASSERT_TRUE(QFile::rename(kept, file));
    }
}

// A character may list a great many states (a list of hosts): each is read once, so a
// hundred thousand of them read whole, numbered and labelled in order.
TEST(DatasetBounds, ACharacterOfAHundredThousandStatesReadsWhole) {
    QTemporaryDir dir;
    writeDelta(dir.path(), 2, 100000);
    Dataset data;
    DeltaReader reader;
    ASSERT_TRUE(reader.read(dir.path(), data)) << reader.errorString().toStdString();
    const Character& host = data.characters[0];
    ASSERT_EQ(host.states.size(), 100000);
    EXPECT_EQ(host.states[0].label, "host 1");
    EXPECT_EQ(host.states[99999].id, "100000");
    EXPECT_EQ(host.states[99999].label, "host 100000");
    EXPECT_EQ(data.characters[1].states.size(), 2);
    EXPECT_EQ(data.items[1].attributes[1].states, QList<int>{1});
}
