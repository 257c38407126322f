#include "platform/safefile.h"
#include "support/filebytes.h"
#include "support/fulldisk.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using platform::replaceFolder;
using platform::writeFileSafely;
using testing_support::FullDisk;

TEST(SafeFile, ReplacesTheFileWholeAndKeepsItsMode) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.qnt");
    testing_support::putBytes(path, "old contents that are longer");
    ::chmod(QFile::encodeName(path).constData(), 0640);
    QString error;
    ASSERT_TRUE(writeFileSafely(path, "new", &error)) << error.toStdString();
    EXPECT_EQ(testing_support::bytesOf(path), QByteArray("new"));
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.qnt"});
}

TEST(SafeFile, AFullDiskIsAFailureAndTheOldFileSurvives) {
    FullDisk disk;
    SCOPED_TRACE(disk.kind());
    const QString path = disk.folder() + "/saved.qnt";
    testing_support::putBytes(path, "the description saved before");
    QString error;
    const QByteArray big = disk.tooMuch();
    EXPECT_FALSE(writeFileSafely(path, big, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(testing_support::bytesOf(path), QByteArray("the description saved before"));
    // The partly written temporary file is gone, so the space is given back.
    EXPECT_EQ(QDir(disk.folder()).entryList(QDir::Files | QDir::Hidden), QStringList{"saved.qnt"});
}

TEST(SafeFile, AFolderThatCannotBeWrittenIsAFailure) {
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(writeFileSafely(dir.filePath("gone/a.qnt"), "x", &error));
    EXPECT_TRUE(error.contains("a.qnt")) << error.toStdString();
}

TEST(SafeFile, ASymbolicLinkIsWrittenThrough) {
    QTemporaryDir dir;
    testing_support::putBytes(dir.filePath("real.qnt"), "old");
    ASSERT_TRUE(QFile::link(dir.filePath("real.qnt"), dir.filePath("link.qnt")));
    QString error;
    ASSERT_TRUE(writeFileSafely(dir.filePath("link.qnt"), "new", &error));
    EXPECT_TRUE(QFileInfo(dir.filePath("link.qnt")).isSymLink());
    EXPECT_EQ(testing_support::bytesOf(dir.filePath("real.qnt")), QByteArray("new"));
}

TEST(ReplaceFolder, ExchangesWithTheOldFolderOrTakesItsPlace) {
    QTemporaryDir dir;
    const QString target = dir.filePath("base"), built = dir.filePath(".base.new");
    ASSERT_TRUE(QDir().mkpath(built));
    testing_support::putBytes(built + "/vireka.db", "first");
    QString error;
    ASSERT_TRUE(replaceFolder(built, target, &error)) << error.toStdString();
    EXPECT_EQ(testing_support::bytesOf(target + "/vireka.db"), QByteArray("first"));
    EXPECT_FALSE(QFileInfo::exists(built));

    ASSERT_TRUE(QDir().mkpath(built));
    testing_support::putBytes(built + "/vireka.db", "second");
    ASSERT_TRUE(replaceFolder(built, target, &error)) << error.toStdString();
    EXPECT_EQ(testing_support::bytesOf(target + "/vireka.db"), QByteArray("second"));
    EXPECT_EQ(testing_support::bytesOf(built + "/vireka.db"),
              QByteArray("first"));  // left for removal

    EXPECT_FALSE(replaceFolder(dir.filePath("missing"), target, &error));
    EXPECT_EQ(testing_support::bytesOf(target + "/vireka.db"), QByteArray("second"));
}
