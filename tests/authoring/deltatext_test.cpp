#include "authoring/import/deltatext.h"
#include "authoring/import/datasetfiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QTemporaryDir>

using namespace authoring;

TEST(DeltaText, CommentsNestAndTextsEndAtASlashBeforeWhiteSpace) {
    EXPECT_EQ(deltatext::withoutComments("culms <whether <<woody>> or not> high"), "culms  high");
    EXPECT_EQ(deltatext::commentEnd("<a <b> c> d", 0), 9);
    EXPECT_EQ(deltatext::commentEnd("<a <b> c d", 0), -1);
    // "and/or" and a slash inside a comment do not end the text.
    const QString t = "leaves green and/or red <a/ b> / next/";
    EXPECT_EQ(deltatext::textEnd(t, 0), t.indexOf(" / ") + 1);
    EXPECT_EQ(deltatext::textEnd("no end <here/ >", 0), -1);
    EXPECT_EQ(deltatext::textEnd("unclosed <comment/ ", 0), -1);
}

TEST(DeltaText, TypesettingMarksAreDroppedOrBecomeTags) {
    const QString rtf =
        "\\i{}Poa\\i0{} an\\-nua \\b{}x\\b0{} m\\super{}2\\nosupersub{} a\\~b \\'e9";
    EXPECT_EQ(deltatext::plain(rtf), QString::fromUtf8("Poa annua x m2 a b é"));
    EXPECT_EQ(deltatext::html(rtf),
              QString::fromUtf8("<i>Poa</i> annua <b>x</b> m<sup>2</sup> a b é"));
    // An italic never closed is closed at the end; a stray close is dropped; text is escaped.
    EXPECT_EQ(deltatext::html("\\i{}a < b"), "<i>a &lt; b</i>");
    EXPECT_EQ(deltatext::html("a\\i0{} & b"), "a &amp; b");
}

TEST(DeltaText, DirectivesAreFoundWhateverTheirSpacingAndCase) {
    const auto d = deltatext::directives(
        "*Number  of   Characters 12\r\n*CHARACTER TYPES 2,RN\n 3,TE\n*INPUT FILE SPECS\n*MY OWN "
        "THING 1\n",
        "specs");
    ASSERT_EQ(d.size(), 4);
    EXPECT_EQ(d[0].name, "NUMBER OF CHARACTERS");
    EXPECT_EQ(d[0].data.trimmed(), "12");
    EXPECT_EQ(d[1].name, "CHARACTER TYPES");
    EXPECT_EQ(d[1].data, " 2,RN\n 3,TE");
    EXPECT_EQ(d[1].lineAt(d[1].data.indexOf("3,TE")), 3);
    EXPECT_EQ(d[2].name, "INPUT FILE");  // the file name in capitals is not part of the name
    EXPECT_EQ(d[2].data.trimmed(), "SPECS");
    EXPECT_EQ(d[3].name, "MY OWN THING");
}

TEST(DeltaText, NumberListsRefuseWhatTheyCannotRead) {
    QList<int> n;
    EXPECT_TRUE(deltatext::numberList("1:3-5:9", ':', n));
    EXPECT_EQ(n, (QList<int>{1, 3, 4, 5, 9}));
    for (const char* bad : {"5-3", "a", "1-2-3", "1-200000", "-2147483648-2147483647"}) {
        QList<int> m;
        EXPECT_FALSE(deltatext::numberList(bad, ':', m)) << bad;
    }
    // The limit is on the whole list, not on each range of it.
    QList<int> many{7};
    EXPECT_TRUE(deltatext::numberList("1-60:1-41", ':', many, 101));
    EXPECT_EQ(many.size(), 102);
    many = {7};
    EXPECT_FALSE(deltatext::numberList("1-60:1-42", ':', many, 101));
    QString huge;
    for (int k = 0; k < 50; ++k) huge += "1-90000:";
    EXPECT_FALSE(deltatext::numberList(huge, ':', n));
}

TEST(DatasetFiles, TextIsUtf8WhenItDecodesElseWindows1252) {
    EXPECT_EQ(datasetfiles::decode("caf\xc3\xa9"), QString::fromUtf8("café"));
    EXPECT_EQ(datasetfiles::decode("caf\xe9 \x93q\x94 \x80"), QString::fromUtf8("café “q” €"));
}

TEST(DatasetFiles, NamesStayInsideTheFolderAndOnlyRegularFilesAreRead) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("data/img");
    const QString root = dir.path() + "/data";
    QFile f(root + "/img/a.gif");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("GIF89a");
    f.close();
    EXPECT_TRUE(datasetfiles::inside(root, "img\\a.gif").endsWith("/data/img/a.gif"));
    EXPECT_TRUE(datasetfiles::inside(root, "../data/img/a.gif").endsWith("/data/img/a.gif"));
    EXPECT_EQ(datasetfiles::inside(root, "../secret"), QString());
    EXPECT_EQ(datasetfiles::inside(root, "/etc/passwd"), QString());
    // A link is judged by where it ends.
    QFile outside(dir.path() + "/outside.txt");
    ASSERT_TRUE(outside.open(QIODevice::WriteOnly));
    outside.close();
    ASSERT_TRUE(QFile::link(dir.path() + "/outside.txt", root + "/sneaky"));
    EXPECT_EQ(datasetfiles::inside(root, "sneaky"), QString());

    QByteArray bytes;
    QString error;
    EXPECT_TRUE(datasetfiles::read(root + "/img/a.gif", 100, bytes, error));
    EXPECT_EQ(bytes, "GIF89a");
    EXPECT_FALSE(datasetfiles::read(root + "/img/a.gif", 3, bytes, error));
    EXPECT_TRUE(error.contains("larger than 3 bytes"));
    ASSERT_EQ(mkfifo(QFile::encodeName(root + "/fifo").constData(), 0600), 0);
    EXPECT_FALSE(datasetfiles::read(root + "/fifo", 100, bytes, error));  // would block for ever
    EXPECT_TRUE(error.contains("not a regular file"));
    EXPECT_FALSE(datasetfiles::read("/dev/zero", 100, bytes, error));
    EXPECT_FALSE(datasetfiles::read(root + "/none", 100, bytes, error));
    // A file whose size says 0 is read to its end, and still no further than the limit.
    EXPECT_TRUE(datasetfiles::read("/proc/self/status", 1 << 20, bytes, error));
    EXPECT_TRUE(bytes.contains("Name:"));
    EXPECT_FALSE(datasetfiles::read("/proc/self/status", 100, bytes, error));
    EXPECT_TRUE(error.contains("larger than 100 bytes"));
}

// "<" opens a comment only at the start of a text or after a blank or another angle bracket;
// inside a comment, a ">" after "(" or before a digit closes nothing.
TEST(DeltaText, AngleBracketsOpenCommentsOnlyAfterABlank) {
    EXPECT_EQ(deltatext::withoutComments("few (<3) families"), "few (<3) families");
    EXPECT_EQ(deltatext::withoutComments("x<y and y>x"), "x<y and y>x");
    EXPECT_EQ(deltatext::withoutComments("<lead> many (>9) <see (>9) and (<3)> x"),
              " many (>9)  x");
    EXPECT_EQ(deltatext::withoutComments("a <b <c> d> e"), "a  e");
    EXPECT_EQ(deltatext::withoutComments("a <<b>> e"), "a  e");
    const QString state = "few (<3) families susceptible/ 2. many/";
    EXPECT_EQ(deltatext::textEnd(state, 0), state.indexOf("/ 2."));
    // A value's comment, where the caller knows one starts, nests by the same rule.
    EXPECT_EQ(deltatext::commentEnd("1<usually (<3) x>/2", 1), 17);
    EXPECT_EQ(deltatext::comments("a <b> c<d> <e <f>>"), (QStringList{"b", "e <f>"}));
}

// Labels drop comments; a text made only of a comment keeps its words. The wording keeps the
// comments that hold words and drops codes and annotations for other programs.
TEST(DeltaText, LabelsAndWordingKeepWordsAndDropCodes) {
    EXPECT_EQ(deltatext::label("<<Af7 se5~>> \\i{}plants\\i0{} <(sexuality)>"), "plants");
    EXPECT_EQ(deltatext::wording("<<Af7 se5~>> \\i{}plants\\i0{} <(sexuality)>"), "plants");
    EXPECT_EQ(deltatext::wording("culms <whether woody <or not>>"), "culms (whether woody or not)");
    EXPECT_EQ(deltatext::wording("<mature> culms"), "(mature) culms");
    EXPECT_EQ(deltatext::wording("red <Rd2 form af2~>"), "red (form)");
    EXPECT_EQ(deltatext::wording("red <Rd2>"), "red");
    EXPECT_EQ(deltatext::wording("many (>9) families"), "many (>9) families");
    // A text made only of a comment.
    EXPECT_EQ(deltatext::label("<linear>"), "linear");
    EXPECT_EQ(deltatext::label("<(dioecious)>"), "dioecious");
    EXPECT_EQ(deltatext::label("<<woody>>"), "woody");
    EXPECT_EQ(deltatext::wording("<<woody>>"), "woody");
    EXPECT_EQ(deltatext::label("<<Af7>>"), "");
    EXPECT_EQ(deltatext::wording("stems <(<3 mm) wide> <<S1>>"), "stems [(<3 mm) wide]");
    EXPECT_EQ(deltatext::wording("ripe <<Fr2>>, across"), "ripe, across");
    for (const char* text :
         {"<<Af7 se5~>> plants <(sexuality)>", "x <<a1 <b2~>>> y", "stems <(<3 mm) wide> <<S1>>"}) {
        const QString w = deltatext::wording(text);
        bool opens = false;
        for (qsizetype k = 0; k < w.size(); ++k) opens = opens || deltatext::opensComment(w, k);
        EXPECT_FALSE(opens || w.contains("((") || w.contains('~')) << w.toStdString();
    }
}
