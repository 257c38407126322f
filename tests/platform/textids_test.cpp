#include "platform/stringtable.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

namespace {

const QString SourceRoot = QStringLiteral(VIREKA_SOURCE_ROOT);

// Entries a language leaves out on purpose, as (number, language): a missing font size keeps
// the window's own; the Spanish table has no "Common names" branch and takes the program's
// "species at" for the legend.
const QSet<std::pair<int, int>> AbsentOnPurpose = {{1201, 0}, {1201, 1}, {1302, 1}, {1500, 1}};

QString readSource(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The names of textids.h with their numbers, in the order written.
QList<std::pair<QString, int>> namedNumbers() {
    QList<std::pair<QString, int>> names;
    static const QRegularExpression declaration(
        QStringLiteral(R"(inline\s+constexpr\s+int\s+(\w+)\s*=\s*(\d+)\s*;)"));
    const QString header = readSource(SourceRoot + QStringLiteral("/src/platform/textids.h"));
    for (const auto& m : declaration.globalMatch(header))
        names.append({m.captured(1), m.captured(2).toInt()});
    return names;
}

}  // namespace

TEST(TextIds, EveryNameIsOneTextOfTheTableInTheThreeLanguages) {
    platform::StringTable table;
    ASSERT_TRUE(table.loadBuiltIn()) << table.errorString().toStdString();
    const auto names = namedNumbers();
    ASSERT_GT(names.size(), 100) << "textids.h was not read";
    QSet<QString> seenNames;
    QSet<int> seenNumbers;
    for (const auto& [name, number] : names) {
        EXPECT_FALSE(seenNames.contains(name)) << name.toStdString() << " is declared twice";
        EXPECT_FALSE(seenNumbers.contains(number)) << number << " has two names";
        seenNames.insert(name);
        seenNumbers.insert(number);
        EXPECT_TRUE(number >= 1000 && number <= 1999)
            << name.toStdString() << ": code asks for the English number";
        for (int language = 0; language < 3; ++language) {
            if (AbsentOnPurpose.contains({number, language})) continue;
            EXPECT_TRUE(table.entry(number + 1000 * language).has_value())
                << name.toStdString() << " = " << number << " has no entry "
                << number + 1000 * language;
        }
    }
}
