#include "support/importdatasets.h"
#include "support/toolrun.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <zlib.h>

using testing_support::ToolRun;
using testing_support::writeFile;

namespace {

ToolRun vkb(const QStringList& args) {
    return testing_support::runTool(QStringLiteral(VIREKA_KB_PATH), args);
}

// A valid drawing padded with `megabytes` MB of spaces, compressed into a few hundred KB: a
// picture that costs its expanded size to whoever decodes it without a bound.
void writeSvgzBomb(const QString& path, int megabytes) {
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    z_stream z{};
    ASSERT_EQ(deflateInit2(&z, 9, Z_DEFLATED, 16 + MAX_WBITS, 9, Z_DEFAULT_STRATEGY), Z_OK);
    QByteArray in = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"40\">";
    QByteArray buffer(1 << 16, 0);
    for (int piece = 0; piece <= megabytes; ++piece) {
        const bool last = piece == megabytes;
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

void writeDeltaWithPictures(const QString& folder) {
    writeFile(folder + "/specs", "*NUMBER OF CHARACTERS 1\n*NUMBERS OF STATES 1,2\n");
    writeFile(folder + "/chars", "*CHARACTER LIST\n#1. colour/\n  1. red/\n  2. blue/\n");
    writeFile(folder + "/items", "*ITEM DESCRIPTIONS\n# Aus bus/ 1,1\n# Aus cus/ 1,2\n");
    writeFile(folder + "/cimages",
              "*CHARACTER IMAGES\n#1. bomb.svgz <@subject colour> <@state 1 x=0 y=0 w=20 h=20>\n");
    writeFile(folder + "/timages", "*TAXON IMAGES\n# Aus bus/ bomb.svgz <@subject habit>\n");
}

QByteArray sddWithPictures() {
    return R"(<?xml version="1.0"?>
<Datasets xmlns="http://rs.tdwg.org/UBIF/2006/"><Dataset>
<Representation><Label>Pictures</Label></Representation>
<Characters><CategoricalCharacter id="c1"><Representation><Label>colour</Label></Representation>
<States><StateDefinition id="s1"><Representation><Label>red</Label><MediaObject ref="m1"/>
</Representation></StateDefinition><StateDefinition id="s2"><Representation><Label>blue</Label>
</Representation></StateDefinition></States></CategoricalCharacter></Characters>
<CodedDescriptions>
<CodedDescription id="d1"><Representation><Label>Aus bus</Label><MediaObject ref="m1"/></Representation>
<SummaryData><Categorical ref="c1"><State ref="s1"/></Categorical></SummaryData></CodedDescription>
<CodedDescription id="d2"><Representation><Label>Aus cus</Label></Representation>
<SummaryData><Categorical ref="c1"><State ref="s2"/></Categorical></SummaryData></CodedDescription>
</CodedDescriptions>
<MediaObjects><MediaObject id="m1"><Representation><Label>bomb</Label></Representation>
<Type>Image</Type><Source href="bomb.svgz"/></MediaObject></MediaObjects>
</Dataset></Datasets>
)";
}

}  // namespace

// A compressed drawing named by a dataset, as a character's picture, a state's or a taxon's,
// is refused by the loader a build uses, with the reason; the import goes on without it.
TEST(ImportBounds, CompressedPictureBombsAreRefusedOnEveryPath) {
    QTemporaryDir dir;
    const QString delta = dir.path() + "/delta";
    writeDeltaWithPictures(delta);
    writeSvgzBomb(delta + "/bomb.svgz", 64);
    ToolRun r = vkb({"import", "delta", delta, dir.path() + "/delta-out"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(
        r.out.contains(QRegularExpression("state C1_1: picture \\S+bomb.svgz cannot be read "
                                          "\\(\\S+: compressed drawing expands past")))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QRegularExpression(
        "Aus bus: picture \\S+bomb.svgz cannot be read \\(\\S+: compressed drawing expands past")))
        << r.out.toStdString();

    const QString sdd = dir.path() + "/sdd";
    writeFile(sdd + "/p.sdd.xml", sddWithPictures());
    writeSvgzBomb(sdd + "/bomb.svgz", 64);
    r = vkb({"import", "sdd", sdd + "/p.sdd.xml", dir.path() + "/sdd-out"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.count("compressed drawing expands past"), 2) << r.out.toStdString();
    EXPECT_TRUE(QDir(dir.path() + "/sdd-out/source/pictures").entryList({"*.png"}).isEmpty());
}

// What a dataset cannot become is refused at once with the reason, and nothing is written.
TEST(ImportBounds, DatasetsPastTheLimitsAreRefusedWithExitTwo) {
    QTemporaryDir dir;
    // One taxon more than a base counts.
    QByteArray items = "*ITEM DESCRIPTIONS\n";
    for (int i = 0; i <= 32767; ++i) items += "# T" + QByteArray::number(i) + "/ 1,1\n";
    writeFile(dir.path() + "/many/specs", "*NUMBER OF CHARACTERS 1\n");
    writeFile(dir.path() + "/many/chars", "*CHARACTER LIST\n#1. colour/ 1. red/ 2. blue/\n");
    writeFile(dir.path() + "/many/items", items);
    ToolRun r = vkb({"import", "delta", dir.path() + "/many", dir.path() + "/many-out"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("more than 32767 taxa")) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.path() + "/many-out"));

    // Entities that would expand to 240 MB.
    QByteArray xml = sddWithPictures();
    xml.replace("<Datasets ", "<!DOCTYPE Datasets [<!ENTITY big \"" + QByteArray(4096, 'x') +
                                  "\">]>\n<Datasets ");
    xml.replace("<Label>Pictures</Label>",
                "<Label>" + QByteArray("&big;").repeated(60000) + "</Label>");
    writeFile(dir.path() + "/big.sdd.xml", xml);
    r = vkb({"import", "sdd", dir.path() + "/big.sdd.xml", dir.path() + "/big-out"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("big.sdd.xml:1: the entities of the file expand to more than"))
        << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.path() + "/big-out"));
}

// check reads only a raster page picture's header: a compressed drawing under that name is
// reported, not expanded.
TEST(ImportBounds, CheckReadsOnlyRasterPagePictureHeaders) {
    QTemporaryDir dir;
    const QString base = dir.path() + "/kb";
    ToolRun r = testing_support::runTool("cp", {"-r", QStringLiteral(VIREKA_DEMO_KB), base});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QDirIterator pages(base + "/documents", {"*.gif"}, QDir::Files, QDirIterator::Subdirectories);
    ASSERT_TRUE(pages.hasNext());
    const QString page = pages.next();
    ASSERT_TRUE(QFile::remove(page));
    writeSvgzBomb(page, 64);
    r = vkb({"check", "--data", base, "--base", "vireka.db", "--documents", base + "/documents"});
    EXPECT_TRUE(r.out.contains("page picture '" + QDir(base + "/documents").relativeFilePath(page) +
                               "' is not a GIF, PNG or JPEG picture"))
        << r.out.toStdString() << r.err.toStdString();
}
