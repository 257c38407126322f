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

// Names a knowledge base holds are resolved inside the folder they belong to; one that
// leaves it is treated as missing, however it is written.
TEST(ResolveInside, NamesThatLeaveTheFolderResolveToNothing) {
    QTemporaryDir dir;
    const QString base = dir.path() + "/base";
    QDir().mkpath(base + "/Robot/00");
    touch(base + "/Robot/00/Body.wmf");
    touch(dir.path() + "/secret");
    EXPECT_EQ(resolveInside(base, "ROBOT\\00\\BODY.WMF"), base + "/Robot/00/Body.wmf");
    EXPECT_EQ(resolveInside(base + "/", "Robot/../Robot/00/Body.wmf"), base + "/Robot/00/Body.wmf");
    EXPECT_EQ(resolveInside(base, "missing.wmf"), base + "/missing.wmf");
    for (const char* name : {"../secret", "..\\secret", "Robot/../../secret", "/etc/passwd",
                             "\\etc\\passwd", "C:\\secret", "..", ""}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(resolveInside(base, name).isEmpty());
    }
    // A sibling whose name begins like the folder's is outside it too.
    QDir().mkpath(dir.path() + "/base2");
    touch(dir.path() + "/base2/x");
    EXPECT_TRUE(resolveInside(base, "../base2/x").isEmpty());
}

TEST(ResolveInside, SymbolicLinksMayNotLeadOut) {
    QTemporaryDir dir;
    const QString base = dir.path() + "/base";
    QDir().mkpath(base + "/pictures");
    touch(dir.path() + "/secret");
    touch(base + "/pictures/a.png");
    ASSERT_TRUE(QFile::link(dir.path() + "/secret", base + "/out.png"));
    ASSERT_TRUE(QFile::link(dir.path(), base + "/up"));
    ASSERT_TRUE(QFile::link(base + "/pictures/a.png", base + "/in.png"));
    EXPECT_TRUE(resolveInside(base, "out.png").isEmpty());
    EXPECT_TRUE(resolveInside(base, "up/secret").isEmpty());
    EXPECT_EQ(resolveInside(base, "in.png"), base + "/in.png");
    // A folder reached through a link is judged by where it really is.
    ASSERT_TRUE(QFile::link(base, dir.path() + "/alias"));
    EXPECT_EQ(resolveInside(dir.path() + "/alias", "pictures/a.png"),
              dir.path() + "/alias/pictures/a.png");
}

TEST(ResolveInside, PathsBuiltFromAFolderAreCheckedFromIt) {
    QTemporaryDir dir;
    const QString folder = dir.path() + "/data/";
    QDir().mkpath(folder);
    EXPECT_TRUE(staysInside(folder, folder + "boutons\\b1.png"));
    EXPECT_FALSE(staysInside(folder, folder + "..\\..\\..\\etc\\passwd"));
    EXPECT_FALSE(staysInside(folder, "/etc/passwd"));
}

TEST(ResolveInside, AFolderWrittenWithBackslashesIsFoundToo) {
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + "/Documents/a");
    touch(dir.path() + "/Documents/a/abcde_en.html");
    const QString folder = dir.path() + "/documents\\";
    EXPECT_TRUE(staysInside(folder, folder + "a\\abcde_en.html"));
    EXPECT_EQ(resolveInside(folder, "a/abcde_en.html"), dir.path() + "/Documents/a/abcde_en.html");
    touch(dir.path() + "/outside.html");
    EXPECT_FALSE(staysInside(folder, folder + "a\\..\\..\\outside.html"));
}
