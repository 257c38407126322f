#include "kb/datafiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QFile>
#include <QTemporaryDir>

using kb::DataFiles;

namespace {

QString writeBytes(const QTemporaryDir& dir, const QByteArray& bytes) {
    const QString path = dir.filePath("MATRICE.DAT");
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
    return path;
}

}  // namespace

TEST(DataFilesMapped, TheValuesAreTheFilesAndWritingNeverReachesIt) {
    QTemporaryDir dir;
    const QString path = writeBytes(dir, QByteArray::fromHex("0100FFFF10270200"));
    kb::DataValues values;
    QString detail;
    ASSERT_EQ(DataFiles::map(path, 4, values, &detail), DataFiles::Status::Ok)
        << detail.toStdString();
    EXPECT_TRUE(values.isMapped());
    ASSERT_EQ(values.size(), 4u);
    EXPECT_EQ(values[0], 1);
    EXPECT_EQ(values[1], -1);
    EXPECT_EQ(values[2], 10000);
    EXPECT_EQ(values[3], 2);

    kb::DataValues moved(std::move(values));
    EXPECT_TRUE(values.empty());
    EXPECT_EQ(values.data(), nullptr);
    ASSERT_TRUE(moved.isMapped());
    values = std::move(moved);
    ASSERT_EQ(values.size(), 4u);

    values.writable()[1] = 7;
    EXPECT_FALSE(values.isMapped());
    EXPECT_EQ(values[1], 7);
    EXPECT_EQ(values[2], 10000);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray::fromHex("0100FFFF10270200"));
}

TEST(DataFilesMapped, ShortMissingEmptyAndNonRegularFiles) {
    QTemporaryDir dir;
    kb::DataValues values;
    QString detail;
    const QString path = writeBytes(dir, QByteArray(7, '\1'));
    EXPECT_EQ(DataFiles::map(path, 4, values, &detail), DataFiles::Status::ReadFailed);
    EXPECT_TRUE(detail.contains("7 bytes where exactly 8")) << detail.toStdString();
    EXPECT_TRUE(values.empty()) << "nothing is kept of a short file";

    EXPECT_EQ(DataFiles::map(dir.filePath("none.dat"), 4, values, &detail),
              DataFiles::Status::OpenFailed);

    // A longer file belongs to another base.
    EXPECT_EQ(DataFiles::map(path, 3, values, &detail), DataFiles::Status::ReadFailed);
    writeBytes(dir, QByteArray());
    EXPECT_EQ(DataFiles::map(path, 0, values, &detail), DataFiles::Status::Ok);
    EXPECT_TRUE(values.empty());

    // A pipe would wait for a writer and a device never ends: both are refused at once.
    const QString fifo = dir.filePath("fifo.dat");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(DataFiles::map(fifo, 4, values, &detail), DataFiles::Status::OpenFailed);
    std::vector<platform::i16> read;
    EXPECT_EQ(DataFiles::read(fifo, 4, read, &detail), DataFiles::Status::OpenFailed);
    EXPECT_EQ(DataFiles::map("/dev/zero", 4, values, &detail), DataFiles::Status::OpenFailed);
}
