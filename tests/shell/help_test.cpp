#include "shell/help.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

TEST(HelpPath, PrefersTheHtmlHelpThenTheCompiledHelpThenTheExtraFolder) {
    QTemporaryDir program, extra;
    ASSERT_TRUE(program.isValid() && extra.isValid());
    const QString programDir = program.path() + u'/';
    EXPECT_TRUE(shell::helpPath(programDir).isEmpty());
    EXPECT_TRUE(shell::helpPath(programDir, extra.path()).isEmpty());

    touch(extra.filePath(QStringLiteral("index.html")));
    EXPECT_EQ(shell::helpPath(programDir, extra.path()),
              extra.filePath(QStringLiteral("index.html")));

    // Folder names of an installation written elsewhere may differ in case.
    touch(program.filePath(QStringLiteral("Help/vireka.chm")));
    EXPECT_EQ(shell::helpPath(programDir, extra.path()),
              program.filePath(QStringLiteral("Help/vireka.chm")));

    touch(program.filePath(QStringLiteral("help/index.html")));
    EXPECT_EQ(shell::helpPath(program.path() + u'\\', extra.path()),
              program.filePath(QStringLiteral("help/index.html")));
}

}  // namespace
