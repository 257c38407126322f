#include <gtest/gtest.h>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

namespace {

// The code of a C++ file without its comments (a "//" inside a string cuts the line short,
// which can only hide a hit, never invent one).
QString withoutComments(const QString& text) {
    static const QRegularExpression block(QStringLiteral(R"(/\*.*?\*/)"),
                                          QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression line(QStringLiteral(R"(//[^\n]*)"));
    QString code = text;
    code.replace(block, QString());
    code.replace(line, QString());
    return code;
}

// Where the string table is asked for a text by a number written out: a call whose name
// says text (text(1071), textOr(1400, ..), texts_(1820)), a window's design number
// (QStringLiteral("1050"), setProperty("tag", 1037)) or a menu row (.text = 1003).
QStringList bareNumbers(const QString& code) {
    static const QRegularExpression calls(QStringLiteral(
        R"re(\b\w*[tT]ext\w*\s*\(\s*1\d{3}\b|QStringLiteral\("1\d{3}"\)|"tag"\s*,\s*1\d{3}\b|\.text\s*=\s*1\d{3}\b)re"));
    QStringList hits;
    for (const auto& m : calls.globalMatch(code)) hits << m.captured(0);
    return hits;
}

}  // namespace

TEST(TextIds, NoStringTableCallInTheSourcesUsesABareNumber) {
    const QString root = QStringLiteral(VIREKA_SOURCE_ROOT) + QStringLiteral("/src");
    int files = 0;
    QDirIterator it(root, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        // The table itself speaks of its ranges in numbers.
        if (path.endsWith(QLatin1String("/platform/stringtable.cpp"))) continue;
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        ++files;
        const QStringList hits = bareNumbers(withoutComments(QString::fromUtf8(f.readAll())));
        EXPECT_TRUE(hits.isEmpty()) << path.mid(root.size() + 1).toStdString() << ": "
                                    << hits.join(QStringLiteral(", ")).toStdString()
                                    << " (name the number in platform/textids.h)";
    }
    EXPECT_GT(files, 100) << "the sources were not found under " << root.toStdString();
}
