#include "platform/textcompare.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

namespace {

int sign(int v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

// Every pair of a set of texts built to meet the fast walk at each of its turns: plain ASCII
// with and without capitals, punctuation around the letters (whose codes lie between the two
// cases), accents and other scripts at the start, middle and end, surrogate pairs, prefixes
// of one another and the empty text.
TEST(CompareIgnoringCase, OrdersEveryPairAsQtsOwnComparisonDoes) {
    const QStringList texts = {
        QString(),
        QStringLiteral("a"),
        QStringLiteral("A"),
        QStringLiteral("ab"),
        QStringLiteral("aB"),
        QStringLiteral("Abc"),
        QStringLiteral("abd"),
        QStringLiteral("ab_"),
        QStringLiteral("AB_"),
        QStringLiteral("ab["),
        QStringLiteral("ab`"),
        QStringLiteral("ab{"),
        QStringLiteral("Z"),
        QStringLiteral("z"),
        QStringLiteral("@"),
        QStringLiteral("0042"),
        QStringLiteral("Aeshna cyanea"),
        QStringLiteral("AESHNA CYANEA"),
        QStringLiteral("Aeshna Cyanea "),
        QString::fromUtf8("Épeire"),
        QString::fromUtf8("épeire"),
        QString::fromUtf8("Epeire"),
        QString::fromUtf8("Espèces"),
        QString::fromUtf8("ESPÈCES"),
        QString::fromUtf8("Especes"),
        QString::fromUtf8("straße"),
        QString::fromUtf8("STRASSE"),
        QString::fromUtf8("Ωmega"),
        QString::fromUtf8("ωmega"),
        QString::fromUtf8("ab\U00010400"),  // Deseret capital, a surrogate pair
        QString::fromUtf8("ab\U00010428"),  // its small letter
        QString::fromUtf8("AB\U00010428x"),
        QString::fromUtf8("ab\u00ff"),
        QString::fromUtf8("ab\u0178"),
        QString::fromUtf8("\u0130stanbul"),
        QString::fromUtf8("istanbul"),
    };
    for (const QString& a : texts) {
        for (const QString& b : texts) {
            EXPECT_EQ(platform::compareIgnoringCase(a, b), sign(a.compare(b, Qt::CaseInsensitive)))
                << a.toStdString() << " against " << b.toStdString();
        }
    }
}

TEST(CompareIgnoringCase, ResultIsOnlyASign) {
    // Callers use the value as -1, 0 or 1, as Qt's comparison's sign.
    EXPECT_EQ(platform::compareIgnoringCase(u"a", u"z"), -1);
    EXPECT_EQ(platform::compareIgnoringCase(u"zzz", u"a"), 1);
    EXPECT_EQ(platform::compareIgnoringCase(u"ABC", u"abc"), 0);
    EXPECT_EQ(platform::compareIgnoringCase(u"abc", u"ab"), 1);
    EXPECT_EQ(platform::compareIgnoringCase(u"\u00e9t\u00e9", u"\u00c9T\u00c9"), 0);
}

}  // namespace
