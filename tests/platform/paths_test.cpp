#include "platform/paths.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace platform;

namespace {
void touch(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}
}  // namespace

TEST(LocalPath, BackslashesBecomeSeparators) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("Robot/00");
    touch(dir.path() + "/Robot/00/base.wmf");
    EXPECT_EQ(toLocalPath(dir.path() + "\\Robot\\00\\base.wmf"), dir.path() + "/Robot/00/base.wmf");
}

TEST(LocalPath, NamesDifferingOnlyInCaseAreFound) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("Robot/00");
    touch(dir.path() + "/Robot/00/Base_F.wmf");
    const QString found = toLocalPath(dir.path() + "/ROBOT/00/BASE_F.WMF");
    EXPECT_EQ(found, dir.path() + "/Robot/00/Base_F.wmf");
    EXPECT_TRUE(QFile::exists(found));
}

TEST(LocalPath, MissingComponentsAreKeptAsWritten) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("Data");
    EXPECT_EQ(toLocalPath(dir.path() + "\\DATA\\Nowhere\\x.dat"),
              dir.path() + "/Data/Nowhere/x.dat");
}

TEST(LocalPath, TrailingSeparatorIsKept) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("Docs");
    EXPECT_EQ(toLocalPath(dir.path() + "\\docs\\"), dir.path() + "/Docs/");
}

TEST(JoinPath, OneSeparatorBetweenFolderAndName) {
    EXPECT_EQ(joinPath("/a/", "b"), QString("/a/b"));
    EXPECT_EQ(joinPath("/a", "b"), QString("/a/b"));
    EXPECT_EQ(joinPath("C:\\a\\", "b"), QString("C:\\a\\b"));
    EXPECT_EQ(joinPath("", "b"), QString("b"));
}
