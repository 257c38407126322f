#include "engine/identificationfile.h"
#include "support/filebytes.h"
#include "support/fulldisk.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using engine::IdentificationFile;
using platform::i16;
using Status = IdentificationFile::Status;

using testing_support::bytesOf;
using testing_support::putBytes;

namespace {}  // namespace

TEST(IdentificationFile, WritesChoicesThenFramesLittleEndian) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.qnt");
    QString error;
    ASSERT_TRUE(IdentificationFile::write(path, {1, 0, 1}, {-1, 0}, &error));
    EXPECT_EQ(bytesOf(path), QByteArray::fromHex("010000000100ffff0000"));
}

TEST(IdentificationFile, ARoundTripRestoresTheDescriptionEntryForEntry) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.qnt");
    const std::vector<i16> choice{0, 1, 1, 0, 1}, frames{0, -1, -1};
    ASSERT_TRUE(IdentificationFile::write(path, choice, frames, nullptr));
    std::vector<i16> c(5, 0), f(3, 0);
    const auto r = IdentificationFile::read(path, c, f);
    EXPECT_EQ(r.status, Status::Ok);
    EXPECT_FALSE(r.lengthDiffers);
    EXPECT_EQ(c, choice);
    EXPECT_EQ(f, frames);
}

TEST(IdentificationFile, AShortFileFillsOnlyTheFirstEntries) {
    QTemporaryDir dir;
    const QString path = dir.filePath("short.qnt");
    putBytes(path, QByteArray::fromHex("0100 0000"));
    std::vector<i16> c{0, 1, 1, 1}, f{-1, -1};
    const auto r = IdentificationFile::read(path, c, f);
    EXPECT_EQ(r.status, Status::Ok);
    EXPECT_TRUE(r.lengthDiffers);
    EXPECT_EQ(c, (std::vector<i16>{1, 0, 1, 1}));
    EXPECT_EQ(f, (std::vector<i16>{-1, -1}));
}

TEST(IdentificationFile, BytesBeyondTheDescriptionAreIgnoredAndKeptOnSave) {
    QTemporaryDir dir;
    const QString path = dir.filePath("long.qnt");
    putBytes(path, QByteArray::fromHex("0000 0000 0000 abcd ef"));
    std::vector<i16> c{1, 1}, f{-1};
    const auto r = IdentificationFile::read(path, c, f);
    EXPECT_EQ(r.status, Status::Ok);
    EXPECT_TRUE(r.lengthDiffers);
    EXPECT_EQ(c, (std::vector<i16>{0, 0}));
    EXPECT_EQ(f, (std::vector<i16>{0}));

    putBytes(path, QByteArray::fromHex("0000 0000 0000 abcd ef"));
    c = {1, 0};
    f = {-1};
    ASSERT_TRUE(IdentificationFile::write(path, c, f, nullptr));
    EXPECT_EQ(bytesOf(path), QByteArray::fromHex("0100 0000 ffff abcd ef"));
}

TEST(IdentificationFile, AFileOfAnotherKnowledgeBaseIsRefusedAndChangesNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath("other.qnt");
    putBytes(path, QByteArray::fromHex("0100 0200 0000"));
    std::vector<i16> c{0, 0, 1}, f{0};
    const auto r = IdentificationFile::read(path, c, f);
    EXPECT_EQ(r.status, Status::Foreign);
    EXPECT_EQ(c, (std::vector<i16>{0, 0, 1}));

    putBytes(path, QByteArray::fromHex("0100 0000 0100 0100"));  // a frame value of 1
    const auto r2 = IdentificationFile::read(path, c, f);
    EXPECT_EQ(r2.status, Status::Foreign);
    EXPECT_EQ(c, (std::vector<i16>{0, 0, 1}));
}

TEST(IdentificationFile, AMissingFileCannotBeOpened) {
    QTemporaryDir dir;
    std::vector<i16> c{1}, f{0};
    const auto r = IdentificationFile::read(dir.filePath("none.qnt"), c, f);
    EXPECT_EQ(r.status, Status::CannotOpen);
    EXPECT_EQ(c, (std::vector<i16>{1}));
}

TEST(IdentificationFile, ASaveThatCannotReplaceTheTargetFailsAndKeepsIt) {
    QTemporaryDir dir;
    const QString path = dir.filePath("taken.qnt");
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.qnt"));
    QFile inside(path + "/keep");
    ASSERT_TRUE(inside.open(QIODevice::WriteOnly));
    inside.close();
    QString error;
    EXPECT_FALSE(IdentificationFile::write(path, {0, 1}, {}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(path + "/keep").exists());
}

TEST(IdentificationFile, ASaveIntoAMissingFolderFails) {
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(IdentificationFile::write(dir.filePath("no/such/folder/a.qnt"), {1}, {0}, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(IdentificationFile, ASaveOntoAFullDiskFailsAndTheSavedFileSurvives) {
    testing_support::FullDisk disk;
    SCOPED_TRACE(disk.kind());
    const QString path = disk.folder() + "/a.qnt";
    ASSERT_TRUE(IdentificationFile::write(path, {1, 0}, {-1}, nullptr));
    disk.tooMuch();
    // 20,000 states and frames: 80 KB, more than the disk holds.
    const std::vector<i16> choice(20000, 1), frames(20000, -1);
    QString error;
    EXPECT_FALSE(IdentificationFile::write(path, choice, frames, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(bytesOf(path), QByteArray::fromHex("01000000ffff"));
}

// Opening one of these must neither block (a pipe) nor read without end (a device).
TEST(IdentificationFile, OnlyRegularFilesOfADescriptionsLengthAreRead) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.qnt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    std::vector<i16> choice{0, 0}, frames{0};
    for (const QString& path : {fifo, QStringLiteral("/dev/zero"), dir.path()}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(IdentificationFile::inspect(path, 2, 1).status, Status::CannotOpen);
        EXPECT_EQ(IdentificationFile::read(path, choice, frames).status, Status::CannotOpen);
    }
    // No knowledge base has a description this long.
    const QString big = dir.filePath("big.qnt");
    putBytes(big, QByteArray(4 * 65536, '\0'));
    EXPECT_EQ(IdentificationFile::inspect(big, 2, 1).status, Status::Foreign);
    EXPECT_EQ(IdentificationFile::read(big, choice, frames).status, Status::Foreign);
    EXPECT_EQ(choice, (std::vector<i16>{0, 0}));
}
