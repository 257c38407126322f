#include "platform/boundedfile.h"
#include "support/filebytes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QFile>
#include <QTemporaryDir>

using platform::BoundedFile;
using Status = platform::BoundedFile::Status;

TEST(BoundedFile, ReadsARegularFileUpToTheLimitExactly) {
    QTemporaryDir dir;
    const QString path = dir.filePath("f");
    testing_support::putBytes(path, "0123456789");
    QByteArray bytes;
    auto r = BoundedFile::read(path, 10, &bytes);
    ASSERT_TRUE(r.ok()) << r.errorString.toStdString();
    EXPECT_EQ(bytes, QByteArray("0123456789"));
    EXPECT_EQ(r.size, 10);

    r = BoundedFile::read(path, 9, &bytes);
    EXPECT_EQ(r.status, Status::TooLarge);
    EXPECT_TRUE(bytes.isEmpty());
    EXPECT_TRUE(r.errorString.contains(path)) << r.errorString.toStdString();

    testing_support::putBytes(path, QByteArray());
    r = BoundedFile::read(path, 0, &bytes);
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(bytes.isEmpty());
}

TEST(BoundedFile, LargerFilesThanOneBlockAreReadWhole) {
    QTemporaryDir dir;
    QByteArray big(300000, '\0');
    for (int i = 0; i < big.size(); ++i) big[i] = char(i * 7);
    testing_support::putBytes(dir.filePath("big"), big);
    QByteArray bytes;
    ASSERT_TRUE(BoundedFile::read(dir.filePath("big"), 1 << 20, &bytes).ok());
    EXPECT_EQ(bytes, big);
}

// Each of these would hang the program or exhaust its memory if it were simply read.
TEST(BoundedFile, OnlyRegularFilesAreOpened) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QByteArray bytes;
    for (const QString& path : {fifo, QStringLiteral("/dev/zero"), dir.path()}) {
        SCOPED_TRACE(path.toStdString());
        const auto r = BoundedFile::read(path, 1 << 20, &bytes);
        EXPECT_EQ(r.status, Status::NotRegular);
        EXPECT_TRUE(r.errorString.startsWith(path));
        EXPECT_EQ(BoundedFile::inspect(path).status, Status::NotRegular);
    }
    EXPECT_TRUE(BoundedFile::read(dir.path(), 10, &bytes).errorString.contains("folder"));
}

TEST(BoundedFile, AMissingFileIsToldApartFromAnUnreadableOne) {
    QTemporaryDir dir;
    QByteArray bytes;
    EXPECT_EQ(BoundedFile::read(dir.filePath("none"), 10, &bytes).status, Status::Missing);
    EXPECT_EQ(BoundedFile::inspect(dir.filePath("none/below")).status, Status::Missing);
    testing_support::putBytes(dir.filePath("f"), "abc");
    const auto r = BoundedFile::inspect(dir.filePath("f"));
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.size, 3);
}
