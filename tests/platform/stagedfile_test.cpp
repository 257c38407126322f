#include "platform/stagedfile.h"
#include "support/fulldisk.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// Files of a staged folder are not flushed one by one, so a write that does not fit must
// still be seen: the build stops instead of swapping in a short file.
TEST(StagedFile, AFullDiskIsAFailureAndLeavesNoShortFile) {
    testing_support::FullDisk disk;
    SCOPED_TRACE(disk.kind());
    const QString path = disk.folder() + "/MATRICE.DAT";
    QString error;
    EXPECT_FALSE(platform::writeStagedFile(path, disk.tooMuch(), &error));
    EXPECT_TRUE(error.startsWith("cannot write " + path)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(path));
}

TEST(StagedFile, WritesTheBytesAndReplacesAnOlderFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.html");
    QString error;
    ASSERT_TRUE(platform::writeStagedFile(path, "a longer first text", &error));
    ASSERT_TRUE(platform::writeStagedFile(path, "second", &error));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("second"));
    EXPECT_FALSE(platform::writeStagedFile(dir.filePath("missing/a.html"), "x", &error));
    EXPECT_TRUE(error.contains("missing/a.html"));
}
