#include "platform/stringtable.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

using platform::StringTable;

namespace {

enum Lang { English = 0, Spanish = 1, French = 2 };

// Every interface text the program names, by its English number.
const QList<int> NamedKeys = [] {
    QList<int> keys;
    for (int k = 1000; k <= 1028; ++k) keys << k;
    for (int k = 1037; k <= 1045; ++k) keys << k;
    for (int k = 1052; k <= 1078; ++k) keys << k;
    for (int k = 1100; k <= 1114; ++k) keys << k;
    keys << 1200 << 1300 << 1301 << 1302 << 1400 << 1401 << 1500;
    return keys;
}();

// The About-box texts, ours to write, in every language.
const QList<int> AboutKeys = {1029, 1030, 1031, 1032, 1033, 1034, 1035,
                              1036, 1046, 1047, 1048, 1049, 1050, 1051};

// Entries that are absent on purpose, as (key, language).
const QList<std::pair<int, int>> AbsentEntries = {{1201, English}, {1201, Spanish}, {1302, Spanish},
                                                  {1401, Spanish}, {1402, English}, {1402, Spanish},
                                                  {1500, Spanish}};

bool absent(int key, int language) {
    return AbsentEntries.contains(std::pair{key, language});
}

StringTable builtIn() {
    StringTable table;
    EXPECT_TRUE(table.loadBuiltIn()) << table.errorString().toStdString();
    return table;
}

QString writeFile(const QTemporaryDir& dir, const QByteArray& content) {
    const QString path = dir.filePath(QStringLiteral("strings.tsv"));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
    return path;
}

}  // namespace

TEST(StringTableBuiltIn, HoldsExactlyTheNamedTextsInEveryLanguageButTheAbsentOnes) {
    const StringTable table = builtIn();
    QSet<int> expected;
    for (int key : NamedKeys + AboutKeys + QList<int>{1201, 1402}) {
        for (int language : {English, Spanish, French}) {
            const bool present = table.text(key, language).has_value();
            EXPECT_EQ(present, !absent(key, language)) << key << " in language " << language;
            if (!absent(key, language)) expected.insert(language * 1000 + key);
        }
    }
    // Our own texts start at 1600 and are complete in the three languages.
    for (int key = 1600; key < 1000 + 1000; ++key) {
        const bool english = table.text(key, English).has_value();
        if (!english) continue;
        for (int language : {English, Spanish, French}) {
            EXPECT_TRUE(table.text(key, language).has_value())
                << key << " in language " << language;
            expected.insert(language * 1000 + key);
        }
    }
    const QList<int> ids = table.entries();
    EXPECT_EQ(QSet<int>(ids.begin(), ids.end()), expected) << "entries outside the list";
}

TEST(StringTableBuiltIn, EnglishTextsAreTheDesignedOnes) {
    const StringTable table = builtIn();
    EXPECT_EQ(table.text(1003, English), QStringLiteral("&Save"));
    EXPECT_EQ(table.text(1022, English), QStringLiteral("&About "));
    EXPECT_EQ(table.text(1052, English),
              QStringLiteral("Vireka Files (*.qnt)|*.qnt|All Files (*.*)|*.*"));
    EXPECT_EQ(table.text(1067, English),
              QStringLiteral("Be careful ! Vireka is currently running. Do you want to execute "
                             "another one ?"));
    EXPECT_EQ(table.text(1073, English),
              QStringLiteral("Vireka is not yet installed. Please run vireka-setup first."));
    // The installer a Linux user runs is named in every language.
    for (auto language : {English, Spanish, French})
        EXPECT_TRUE(table.text(1073, language)->contains("vireka-setup"));
    EXPECT_EQ(table.text(1074, English), QStringLiteral(" unavailable !"));
    EXPECT_EQ(table.text(1103, English), QStringLiteral(" Species "));
    EXPECT_EQ(table.text(1105, English), QStringLiteral("List the species above : "));
    EXPECT_EQ(table.text(1200, English), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(table.text(1500, English), QStringLiteral("species at"));
}

TEST(StringTableBuiltIn, TranslationsFollowTheEntryNumbering) {
    const StringTable table = builtIn();
    EXPECT_EQ(table.text(1003, Spanish), table.entry(2003));
    EXPECT_EQ(table.text(1003, French), table.entry(3003));
    EXPECT_NE(table.text(1003, Spanish), table.text(1003, English));
    EXPECT_EQ(table.text(1011, French), QStringLiteral("&Aller à ..."));
    EXPECT_EQ(table.text(1066, French), QStringLiteral("Caractères en contradiction"));
    EXPECT_EQ(table.text(1400, Spanish), QStringLiteral("Commentario"));
    EXPECT_EQ(table.text(1201, French), QStringLiteral("8"));
    EXPECT_EQ(table.text(1402, French), QStringLiteral("Aires de répartition"));
    for (int language : {English, Spanish, French})
        EXPECT_TRUE(table.text(1050, language)->startsWith(QStringLiteral("Vireka V.1.0")));
}

TEST(StringTableBuiltIn, TranslationsAreNotLeftInEnglish) {
    // Texts that read the same in the translation, on purpose.
    const QSet<std::pair<int, int>> same = {
        {1018, French},  {1012, French}, {1030, French},  {1037, French},  {1044, French},
        {1046, Spanish}, {1046, French}, {1104, Spanish}, {1200, Spanish}, {1200, French}};
    const StringTable table = builtIn();
    for (int key : NamedKeys + AboutKeys) {
        for (int language : {Spanish, French}) {
            const auto text = table.text(key, language);
            if (!text || same.contains(std::pair{key, language})) continue;
            EXPECT_NE(*text, table.text(key, English)) << key << " in language " << language;
        }
    }
}

TEST(StringTableLookup, CurrentLanguageAndFallback) {
    StringTable table = builtIn();
    table.setLanguageCode(Spanish);
    EXPECT_EQ(table.text(1301), table.text(1301, Spanish));
    EXPECT_FALSE(table.text(1302).has_value()) << "the common-names root has no Spanish text";
    EXPECT_EQ(table.textOr(1302, QStringLiteral("1302")), QStringLiteral("1302"));
    EXPECT_EQ(table.textOr(1300, QStringLiteral("1300")), QStringLiteral("Especies"));

    // A key outside the English range does not reach another language's entry.
    EXPECT_FALSE(table.text(2003, English).has_value());
}

TEST(StringTableFile, ReadsEscapesBlanksCommentsAndWindowsLineEnds) {
    QTemporaryDir dir;
    StringTable table;
    ASSERT_TRUE(table.load(writeFile(dir,
                                     "# comment\r\n\r\n1000\t a\\tb \r\n"
                                     "1001\tline\\nnext\\\\end\n"
                                     "3001\t\xc3\xa9t\xc3\xa9\n"
                                     "1002\t\n")))
        << table.errorString().toStdString();
    EXPECT_EQ(table.text(1000, English), QStringLiteral(" a\tb "));
    EXPECT_EQ(table.text(1001, English), QStringLiteral("line\nnext\\end"));
    EXPECT_EQ(table.text(1001, French), QStringLiteral("été"));
    EXPECT_EQ(table.text(1002, English), QString());
    EXPECT_EQ(table.entries(), (QList<int>{1000, 1001, 1002, 3001}));
}

TEST(StringTableFile, RejectsBadFilesAndNamesTheLine) {
    const QList<std::pair<QByteArray, QString>> cases = {
        {"1000\tok\n1000\tagain\n", QStringLiteral("line 2")},
        {"1000\tok\n# c\n1001\tbad \\q escape\n", QStringLiteral("line 3")},
        {"1000 no tab\n", QStringLiteral("line 1")},
        {"abc\ttext\n", QStringLiteral("line 1")},
        {"999\ttoo low\n", QStringLiteral("line 1")},
        {"4000\ttoo high\n", QStringLiteral("line 1")},
        {"1000\tends with \\\n", QStringLiteral("line 1")},
    };
    for (const auto& [content, where] : cases) {
        QTemporaryDir dir;
        StringTable table;
        EXPECT_FALSE(table.load(writeFile(dir, content))) << content.toStdString();
        EXPECT_TRUE(table.errorString().contains(where)) << table.errorString().toStdString();
        EXPECT_TRUE(table.isEmpty()) << "a bad file leaves no half table";
    }
}

TEST(StringTableFile, MissingOrNonUtf8FileFails) {
    QTemporaryDir dir;
    StringTable table;
    EXPECT_FALSE(table.load(dir.filePath(QStringLiteral("none.tsv"))));
    EXPECT_FALSE(table.errorString().isEmpty());
    EXPECT_FALSE(table.load(writeFile(dir, "1000\t\xe9t\xe9\n")));
    EXPECT_TRUE(table.isEmpty());
}
