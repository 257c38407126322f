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

// Entities declared in the file expand where they are used; their total is counted before
// the file is parsed, so that the refusal costs no more memory than the file itself.
TEST(DatasetBounds, SddEntityExpansionIsBoundedInTotal) {
    QTemporaryDir dir;
    const QString file = dir.path() + "/e.sdd.xml";

    // Nested: ten levels of ten references, a thousand million "lol"s.
    QByteArray laughs = "<!DOCTYPE Datasets [\n<!ENTITY l0 \"lol\">\n";
    for (int k = 1; k <= 9; ++k)
        laughs += "<!ENTITY l" + QByteArray::number(k) + " \"" +
                  QByteArray("&l" + QByteArray::number(k - 1) + ";").repeated(10) + "\">\n";
    laughs += "]>\n";
    SddRead r = readSdd(file, sdd(laughs, "&l9;"));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains("expand")) << r.error.toStdString();

    // Flat: one entity of 4 KB used 60,000 times (240 MB once expanded), in text and in an
    // attribute, where the parser builds the whole value before handing it over.
    const QByteArray big =
        "<!DOCTYPE Datasets [<!ENTITY big \"" + QByteArray(4096, 'x') + "\">]>\n";
    r = readSdd(file, sdd(big, QByteArray("&big;").repeated(60000)));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains("expand")) << r.error.toStdString();
    QByteArray inAttribute = sdd(big, "T");
    inAttribute.replace("id=\"c1\"",
                        "id=\"c1\" note=\"" + QByteArray("&big;").repeated(60000) + "\"");
    r = readSdd(file, inAttribute);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains("expand")) << r.error.toStdString();

    // The same file in UTF-16 is counted the same way.
    const QString utf16Text =
        QString::fromUtf8(sdd(big, QByteArray("&big;").repeated(60000)))
            .replace("version=\"1.0\"", "version=\"1.0\" encoding=\"UTF-16\"");
    QByteArray utf16("\xff\xfe", 2);
    utf16.append(reinterpret_cast<const char*>(utf16Text.utf16()), utf16Text.size() * 2);
    r = readSdd(file, utf16);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains("expand")) << r.error.toStdString();

    // An entity used a reasonable number of times still reads.
    const QByteArray genus =
        "<!DOCTYPE Datasets [<!ENTITY g \"Viola\"><!ENTITY a \"&g; alba\">]>\n";
    r = readSdd(file, sdd(genus, QByteArray("&a; ").repeated(1000)));
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_TRUE(r.data.title.startsWith("Viola alba Viola alba"));
}

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

// A compressed drawing is expanded under the loader's limit: a small file that would grow
// past it is refused, as a build refuses it, before it takes the memory.
TEST(DatasetBounds, DatasetPicturesGoThroughTheBoundedLoader) {
    QTemporaryDir dir;
    const QString bomb = dir.path() + "/bomb.svgz";
    {
        // A valid drawing padded with 64 MB of spaces, written as a gzip stream by pieces.
        QFile out(bomb);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        z_stream z{};
        ASSERT_EQ(deflateInit2(&z, 9, Z_DEFLATED, 16 + MAX_WBITS, 9, Z_DEFAULT_STRATEGY), Z_OK);
        QByteArray in = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" height=\"10\">";
        QByteArray buffer(1 << 16, 0);
        for (int piece = 0; piece <= 64; ++piece) {
            const bool last = piece == 64;
            if (piece > 0) in = last ? QByteArray("</svg>") : QByteArray(1 << 20, ' ');
            z.next_in = reinterpret_cast<Bytef*>(in.data());
            z.avail_in = uInt(in.size());
            do {
                z.next_out = reinterpret_cast<Bytef*>(buffer.data());
                z.avail_out = uInt(buffer.size());
                deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
                out.write(buffer.constData(), buffer.size() - qsizetype(z.avail_out));
            } while (z.avail_out == 0);
        }
        deflateEnd(&z);
    }
    QString error;
    EXPECT_TRUE(datasetfiles::readPicture(bomb, error).isNull());
    EXPECT_TRUE(error.contains("expands past")) << error.toStdString();

    // Entities inside a drawing are counted as in a dataset's own XML.
    const QString entities = dir.path() + "/entities.svg";
    writeFile(entities, "<!DOCTYPE svg [<!ENTITY big \"" + QByteArray(4096, 'x') +
                            "\">]><svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" "
                            "height=\"10\"><text>" +
                            QByteArray("&big;").repeated(60000) + "</text></svg>");
    EXPECT_TRUE(datasetfiles::readPicture(entities, error).isNull());
    EXPECT_TRUE(error.contains("entities of the file expand")) << error.toStdString();

    const QString small = dir.path() + "/small.svg";
    writeFile(small,
              "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"30\" height=\"20\">"
              "<rect width=\"30\" height=\"20\" fill=\"#ff0000\"/></svg>");
    const QImage image = datasetfiles::readPicture(small, error);
    ASSERT_FALSE(image.isNull()) << error.toStdString();
    EXPECT_EQ(image.size(), QSize(30, 20));
    EXPECT_EQ(image.pixelColor(15, 10), QColor(0xff, 0, 0));
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
