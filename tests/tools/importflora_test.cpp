// The species documents an imported key writes, read as a botanist reads a flora: the values
// in words with their units, the dataset's notes, headings only over what they head, no
// codes or annotations of other programs, and no drawing pages where there is no drawing.
#include "support/floradatasets.h"
#include "support/toolrun.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace testing_support;

namespace {

QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Every document of the key, by file name.
QMap<QString, QString> documents(const QString& base) {
    QMap<QString, QString> out;
    QDirIterator it(base + "/documents", QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        out.insert(QFileInfo(path).fileName(), readAll(path));
    }
    return out;
}

// What no page of a flora shows: markup written as text, codes and annotations of other
// programs, a heading over nothing, a link to a drawing that does not exist.
void expectReadable(const QString& name, const QString& html) {
    const std::string what = name.toStdString() + "\n" + html.toStdString();
    for (const char* never : {"&lt;", "&gt;", "none", "Hb1", "Tr4", "Sp3", "Lf9", "_ds.html",
                              "dessin_01", "(L.)(", "()"})
        EXPECT_FALSE(html.contains(never)) << never << " in " << what;
    static const QRegularExpression emptyHeading(
        "<h2>[^<]*</h2>\\s*(<table>\\s*</table>|<dl>"
        "\\s*</dl>|<h2>|<p class=\"note\">From)");
    EXPECT_FALSE(html.contains(emptyHeading)) << what;
}

TEST(ImportFlora, DeltaDocumentsReadAsAFlora) {
    QTemporaryDir dir;
    writeDeltaWillows(dir.filePath("delta"));
    const QString base = dir.filePath("base");
    const ToolRun r = runTool(VIREKA_KB_PATH, {"import", "delta", dir.filePath("delta"), base});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QMap<QString, QString> docs = documents(base);
    // One document per taxon, and nothing else: a key without a drawing has no sheets.
    ASSERT_EQ(docs.size(), 5) << QStringList(docs.keys()).join(' ').toStdString();
    for (auto it = docs.cbegin(); it != docs.cend(); ++it) {
        EXPECT_TRUE(it.key().endsWith("_en.html")) << it.key().toStdString();
        expectReadable(it.key(), it.value());
    }

    const QString cinerea = docs.value("salci_en.html");
    ASSERT_FALSE(cinerea.isEmpty()) << QStringList(docs.keys()).join(' ').toStdString();
    // Values in words with their units, the remark of the name, the dataset's notes.
    for (const char* words :
         {"<td class=\"q\">leaf blade length</td><td>30&ndash;80 mm <span class=\"note\">"
          "(usually)</span></td>",
          "(8&ndash;)10&ndash;20(&ndash;25) mm", "<td>before the leaves</td>",
          "<td class=\"q\">catkins</td>", "leaves grey beneath", "<p class=\"note\">L.</p>",
          "<h2>Notes on the characters</h2>", "Measured on the largest leaf of a shoot",
          "Seen in early spring."})
        EXPECT_TRUE(cinerea.contains(words)) << words << "\n" << cinerea.toStdString();
    // A subheading stands once over the characters it heads.
    EXPECT_EQ(cinerea.count("Leaves"), 1) << cinerea.toStdString();
    EXPECT_EQ(cinerea.count("Flowers"), 1) << cinerea.toStdString();

    // A taxon that codes nothing has a page without a description heading.
    const QString unknown = docs.value("salsp_en.html");
    ASSERT_FALSE(unknown.isEmpty()) << QStringList(docs.keys()).join(' ').toStdString();
    EXPECT_FALSE(unknown.contains("<h2>")) << unknown.toStdString();
}

TEST(ImportFlora, SddDocumentsReadAsAFlora) {
    QTemporaryDir dir;
    writeSddSedges(dir.path());
    const QString base = dir.filePath("base");
    const ToolRun r =
        runTool(VIREKA_KB_PATH, {"import", "sdd", dir.filePath("sedges.sdd.xml"), base});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QMap<QString, QString> docs = documents(base);
    for (auto it = docs.cbegin(); it != docs.cend(); ++it) {
        EXPECT_TRUE(it.key().endsWith("_en.html")) << it.key().toStdString();
        expectReadable(it.key(), it.value());
    }
    const QString acuta = docs.value("carac_en.html");
    ASSERT_FALSE(acuta.isEmpty()) << QStringList(docs.keys()).join(' ').toStdString();
    for (const char* words : {"<td class=\"q\">Stem height</td><td>30&ndash;120 cm</td>",
                              "<td class=\"q\">Female spikes</td><td>4&ndash;7</td>",
                              "<td>brown</td>", "<h2>Notes on the characters</h2>",
                              "Measured from the ground to the tip of the highest spike."})
        EXPECT_TRUE(acuta.contains(words)) << words << "\n" << acuta.toStdString();
}

}  // namespace
