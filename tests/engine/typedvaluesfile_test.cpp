// The typed values an identification file keeps after its description, and the ways a file
// can carry bytes there that are not its own: a tail left by an earlier save, damage, a
// hostile file.
#include "engine/identificationfile.h"
#include "engine/typedvaluestrailer.h"
#include "support/filebytes.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>
#include <functional>
#include <limits>

using engine::IdentificationFile;
using engine::TypedValue;
using platform::i16;
namespace typedvalues = engine::typedvalues;

using testing_support::bytesOf;
using testing_support::putBytes;

namespace {

// Writes over the start of a file without shortening it, as a reader that knows only the
// description saves.
void overwriteStart(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.write(bytes);
}

const std::vector<i16> Choice{0, 1, 0, 0, 1}, Frames{-1, 0};
const std::vector<TypedValue> Typed{{1, 37.5}, {4, -0.25}};
constexpr qsizetype Body = 2 * (5 + 2);

}  // namespace

TEST(TypedValuesFile, KeptValuesComeBackAndTheDescriptionIsUnchanged) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.qnt"), plain = dir.filePath("plain.qnt");
    ASSERT_TRUE(IdentificationFile::write(path, Choice, Frames, nullptr, Typed));
    ASSERT_TRUE(IdentificationFile::write(plain, Choice, Frames, nullptr));
    // The description comes first, exactly as without values: older readers see no change.
    EXPECT_EQ(bytesOf(plain).size(), Body);
    EXPECT_EQ(bytesOf(path).left(Body), bytesOf(plain));
    EXPECT_EQ(bytesOf(path).size(), Body + 20 + 12 * 2);

    std::vector<i16> c(5, 0), f(2, 0);
    const auto r = IdentificationFile::read(path, c, f);
    EXPECT_EQ(r.status, IdentificationFile::Status::Ok);
    EXPECT_FALSE(r.lengthDiffers) << "a trailer of this description is no other base's length";
    EXPECT_EQ(c, Choice);
    EXPECT_EQ(f, Frames);
    ASSERT_TRUE(r.typed);
    EXPECT_EQ(*r.typed, Typed);
    EXPECT_FALSE(IdentificationFile::inspect(path, 5, 2).lengthDiffers);

    std::vector<i16> c2(5, 0), f2(2, 0);
    EXPECT_FALSE(IdentificationFile::read(plain, c2, f2).typed);
}

TEST(TypedValuesFile, ATrailerLeftByAnotherDescriptionIsIgnored) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.qnt");
    ASSERT_TRUE(IdentificationFile::write(path, Choice, Frames, nullptr, Typed));
    // A reader that knows only the description saves another one over it: the old trailer
    // stays behind and must not be taken for this description's.
    QByteArray other(Body, '\0');
    other[2 * 2] = 1;
    overwriteStart(path, other);
    std::vector<i16> c(5, 0), f(2, 0);
    const auto r = IdentificationFile::read(path, c, f);
    EXPECT_EQ(r.status, IdentificationFile::Status::Ok);
    EXPECT_FALSE(r.typed);
    EXPECT_TRUE(r.lengthDiffers);
    EXPECT_EQ(c, (std::vector<i16>{0, 0, 1, 0, 0}));
}

TEST(TypedValuesFile, ASaveDropsAnEarlierTrailerAndKeepsAnyOtherTail) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.qnt");
    ASSERT_TRUE(IdentificationFile::write(path, Choice, Frames, nullptr, Typed));
    // The same description saved without values: the old values must not come back.
    ASSERT_TRUE(IdentificationFile::write(path, Choice, Frames, nullptr));
    EXPECT_EQ(bytesOf(path).size(), Body);
    std::vector<i16> c(5, 0), f(2, 0);
    EXPECT_FALSE(IdentificationFile::read(path, c, f).typed);

    // One value fewer: the longer trailer before leaves nothing behind the new one.
    ASSERT_TRUE(IdentificationFile::write(path, Choice, Frames, nullptr, Typed));
    ASSERT_TRUE(IdentificationFile::write(path, Choice, Frames, nullptr, {Typed[0]}));
    EXPECT_EQ(bytesOf(path).size(), Body + 20 + 12);

    // A tail that is no trailer (an older, longer description) is kept as before, and a
    // trailer written over its start is still found.
    putBytes(path, QByteArray(Body + 100, '\0'));
    ASSERT_TRUE(IdentificationFile::write(path, Choice, Frames, nullptr, Typed));
    EXPECT_EQ(bytesOf(path).size(), Body + 100);
    const auto r = IdentificationFile::read(path, c, f);
    ASSERT_TRUE(r.typed);
    EXPECT_EQ(*r.typed, Typed);
    EXPECT_FALSE(r.lengthDiffers);
}

TEST(TypedValuesFile, DamagedOrHostileTrailersAreIgnoredAndTheDescriptionStillReads) {
    QByteArray body(Body, '\0');
    body[2] = 1;
    const QByteArray good = body + typedvalues::encode(body, Typed);
    ASSERT_TRUE(typedvalues::decode(good, Body, 5));
    const auto setU16 = [](QByteArray& b, qsizetype at, quint16 v) {
        qToLittleEndian(v, b.data() + at);
    };
    const auto setU32 = [](QByteArray& b, qsizetype at, quint32 v) {
        qToLittleEndian(v, b.data() + at);
    };
    // Resigns the trailer's own checksum so that only the damage named is left.
    const auto resign = [&](QByteArray& b) {
        const qsizetype end = b.size() - 4;
        setU32(b, end, typedvalues::crc32(QByteArrayView(b).sliced(Body, end - Body)));
    };
    const std::vector<std::pair<const char*, std::function<void(QByteArray&)>>> damages{
        {"truncated", [](QByteArray& b) { b.chop(1); }},
        {"only the magic", [](QByteArray& b) { b.truncate(Body + 4); }},
        {"another magic", [](QByteArray& b) { b[Body] = 'X'; }},
        {"a later version", [&](QByteArray& b) { setU16(b, Body + 4, 2), resign(b); }},
        {"no records", [&](QByteArray& b) { setU16(b, Body + 6, 0), resign(b); }},
        {"a huge count", [&](QByteArray& b) { setU16(b, Body + 6, 0xFFFF), resign(b); }},
        {"more records than states",
         [&](QByteArray& b) {
             b.chop(4);
             b += QByteArray(12 * 4, '\0') + QByteArray(4, '\0');
             setU16(b, Body + 6, 6);
             setU32(b, Body + 8, 20 + 12 * 6);
             resign(b);
         }},
        {"a length that is not its own", [&](QByteArray& b) { setU32(b, Body + 8, 9), resign(b); }},
        {"a huge length", [&](QByteArray& b) { setU32(b, Body + 8, 0xFFFFFFFF), resign(b); }},
        {"the body changed", [](QByteArray& b) { b[0] = 1; }},
        {"a value changed", [](QByteArray& b) { b[Body + 16 + 4] ^= 1; }},
        {"a state past the last", [&](QByteArray& b) { setU32(b, Body + 16, 5), resign(b); }},
        {"a negative state", [&](QByteArray& b) { setU32(b, Body + 16, 0xFFFFFFFF), resign(b); }},
        {"not a number",
         [&](QByteArray& b) {
             qToLittleEndian(std::numeric_limits<double>::quiet_NaN(), b.data() + Body + 20);
             resign(b);
         }},
        {"infinite",
         [&](QByteArray& b) {
             qToLittleEndian(std::numeric_limits<double>::infinity(), b.data() + Body + 20);
             resign(b);
         }},
    };
    QTemporaryDir dir;
    for (const auto& [what, damage] : damages) {
        QByteArray bytes = good;
        damage(bytes);
        EXPECT_FALSE(typedvalues::decode(bytes, Body, 5)) << what;
        const QString path = dir.filePath("damaged.qnt");
        putBytes(path, bytes);
        std::vector<i16> c(5, 0), f(2, 0);
        const auto r = IdentificationFile::read(path, c, f);
        EXPECT_FALSE(r.typed) << what;
        if (bytes.left(Body) == body) {
            EXPECT_EQ(r.status, IdentificationFile::Status::Ok) << what;
            EXPECT_EQ(c[1], 1) << what;
        }
    }
    // A file that holds only the start of a description has no trailer to look for.
    EXPECT_FALSE(typedvalues::decode(good.left(6), Body, 5));
    EXPECT_FALSE(typedvalues::decode(good, -1, 5));
}

TEST(TypedValuesFile, TheChecksumIsTheCommonCrc32) {
    // The check value every CRC-32 implementation gives for "123456789": the web player
    // computes the same one.
    EXPECT_EQ(typedvalues::crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(typedvalues::crc32(""), 0u);
}
